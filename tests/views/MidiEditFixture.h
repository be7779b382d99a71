#pragma once

// Shared by the message view tests: a stand-in main window, a model, and the views a test made.

#include "model/TulvarMidiModel.h"
#include "views/MainWindowIF.h"
#include "views/MidiEditGeneralView.h"
#include "views/MidiEditTextView.h"
#include "views/MidiEditView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>
#include <QStringList>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// Records what views register, open and send. Sending can be made to fail, or held at a gate
// until the test lets it go.
class FakeMainWindow : public MainWindowIF {
public:
    struct OpenedEditor {
        bool receiving;
        QSize size;
        QString text;
    };

    FakeMainWindow() { MainWindowIF::setInstance(this); }
    ~FakeMainWindow() override { openGate(); }

    bool transmitMidi(const unsigned char* data, unsigned short size, unsigned char, OutputPortGroup, bool,
                      bool) override
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        ++m_arrivals;
        m_changed.notify_all();
        while (m_gateClosed && m_permits == 0) {
            if (m_releaseWhen && m_releaseWhen()) {
                m_gateClosed = false;
                break;
            }
            m_changed.wait_for(lock, std::chrono::milliseconds(5));
        }
        if (m_gateClosed) {
            --m_permits;
        }
        if (m_failing) {
            return false;
        }
        m_sent.emplace_back(reinterpret_cast<const char*>(data), size);
        return true;
    }

    void addReceivingView(MidiEditView* view) override { receivingViews.append(view); }
    void removeReceivingView(MidiEditView* view) override { receivingViews.removeAll(view); }
    void addOutMonitorView(MidiEditView* view) override { outMonitorViews.append(view); }
    void removeOutMonitorView(MidiEditView* view) override { outMonitorViews.removeAll(view); }
    void openMessageEditor(bool receiving, const QSize& size, const QString& text) override
    {
        openedEditors.append({receiving, size, text});
    }
    void clearKeyboardAllNoteEvent() override { ++keyboardClears; }
    void showErrorMessageBox(const QString& text) override { errors.append(text); }

    void setFailing(bool failing)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_failing = failing;
    }
    // Holds every message at the gate until it is permitted, the gate opens, or the release
    // condition (polled while waiting) becomes true.
    void closeGate(std::function<bool()> releaseWhen = nullptr)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_gateClosed = true;
        m_releaseWhen = std::move(releaseWhen);
    }
    void permit(int messages)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_permits += messages;
        m_changed.notify_all();
    }
    void openGate()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_gateClosed = false;
        m_changed.notify_all();
    }
    // Waits until `count` messages have reached the transmit call (sent or held at the gate).
    bool waitForArrivals(int count)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(10), [&] { return m_arrivals >= count; });
    }
    std::vector<QByteArray> sent()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_sent;
    }
    int sentBytes()
    {
        int total = 0;
        for (const QByteArray& message : sent()) {
            total += message.size();
        }
        return total;
    }

    QList<MidiEditView*> receivingViews;
    QList<MidiEditView*> outMonitorViews;
    QList<OpenedEditor> openedEditors;
    QStringList errors;
    int keyboardClears = 0;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_failing = false;
    bool m_gateClosed = false;
    int m_permits = 0;
    std::function<bool()> m_releaseWhen;
    int m_arrivals = 0;
    std::vector<QByteArray> m_sent;
};

// One per test function: made in init(), destroyed in cleanup(), views first.
struct MidiEditFixture {
    ~MidiEditFixture()
    {
        mainWindow.openGate();
        for (const QPointer<MidiEditView>& view : qAsConst(views)) {
            delete view.data();
        }
    }

    MidiEditView* make(MidiEditView::OpenMode mode, const QString& text = QString(), bool show = false)
    {
        auto* view = new MidiEditView(nullptr, &model, mode, text);
        view->resize(338, 274);
        if (show) {
            view->show();
        }
        views.append(view);
        return view;
    }

    TulvarMidiModel model;
    FakeMainWindow mainWindow;
    QList<QPointer<MidiEditView>> views;
};

inline QString textOf(MidiEditView* view)
{
    return view->generalView()->textView()->toPlainText();
}

// Monitor lines numbered from `first`, each starting with its line feed.
inline QString monitorLines(int first, int count)
{
    QString text;
    for (int i = first; i < first + count; ++i) {
        text += QStringLiteral("\nPort1 NoteOn   90 3C 64 [C3] #%1").arg(i);
    }
    return text;
}

// The menu that a right click on `receiver` opens, still open; null when none opened.
inline QMenu* openContextMenu(QWidget* receiver)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), receiver->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(receiver, &event);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* menu = qobject_cast<QMenu*>(widget);
        if (menu != nullptr && menu->isVisible()) {
            return menu;
        }
    }
    return nullptr;
}

// The entries of the context menu a right click on the text area opens; "-" for separators.
inline QStringList contextMenuEntries(MidiEditTextView* text)
{
    QStringList entries;
    if (QMenu* menu = openContextMenu(text->viewport())) {
        for (QAction* action : menu->actions()) {
            entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        menu->close();
    }
    return entries;
}
