#pragma once

#include "views/MainWindowIF.h"
#include "views/MidiEditView.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

// Stands in for the main window: records what views register, open and send. Sending can be
// made to fail, or held at a gate until the test lets it go.
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
