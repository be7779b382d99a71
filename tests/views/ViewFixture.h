#pragma once

// Shared by the view tests: a model, the stand-in main window, what was sent as hex text, project
// payloads, and the message views a test made (deleted before the main window goes).

#include "model/TulvarMidiModel.h"
#include "persistence/FileStream.h"
#include "testkit/FakeMainWindow.h"
#include "views/MidiEditGeneralView.h"
#include "views/MidiEditTextView.h"
#include "views/MidiEditView.h"

#include <QtWidgets>

#include <vector>

// Records (tag, int or string value) in the order a project file holds them.
using Records = QList<QPair<qint32, QVariant>>;

struct ViewFixture {
    ~ViewFixture()
    {
        mainWindow.transmitter.release();
        for (const QPointer<MidiEditView>& view : qAsConst(views)) {
            delete view.data();
        }
    }

    // Messages sent since the last call, as "B0 07 64".
    QStringList takeSent()
    {
        QStringList hexText;
        const std::vector<TransmittedMessage> all = mainWindow.transmitter.messages();
        for (size_t i = m_taken; i < all.size(); ++i) {
            hexText << QString::fromLatin1(all[i].bytes.toHex(' ').toUpper());
        }
        m_taken = all.size();
        return hexText;
    }

    bool edited() { return model.getParameterEditFlag() == ParameterEditFlagChanged; }
    void clearEdited() { model.setParameterEditFlag(ParameterEditFlagUnchanged); }

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

    static QByteArray payloadOf(const Records& records)
    {
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        for (const auto& record : records) {
            if (record.second.type() == QVariant::String) {
                FileStream::setStringParameterToStream(stream, record.first, record.second.toString());
            } else {
                FileStream::setIntParameterToStream(stream, record.first, record.second.toInt());
            }
        }
        return bytes;
    }
    static QByteArray write(FileStream& view)
    {
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        return view.getDataStream(stream) ? bytes : QByteArray("<failed>");
    }
    static bool read(FileStream& view, const QByteArray& payload)
    {
        QDataStream stream(payload);
        return view.setDataStream(stream);
    }

    TulvarMidiModel model;
    FakeMainWindow mainWindow;
    QList<QPointer<MidiEditView>> views;

private:
    size_t m_taken = 0;
};

inline QString textOf(MidiEditView* view)
{
    return view->generalView()->textView()->toPlainText();
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

// Drags a file onto the text area and drops it there; true when both were accepted.
inline bool sendDrag(MidiEditTextView* text, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(text->viewport(), &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(text->viewport(), &drop);
    return drop.isAccepted();
}
