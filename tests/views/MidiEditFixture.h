#pragma once

// Shared by the message view tests: a stand-in main window, a model, and the views a test made.

#include "model/TulvarMidiModel.h"
#include "testkit/FakeMainWindow.h"
#include "views/MidiEditGeneralView.h"
#include "views/MidiEditTextView.h"
#include "views/MidiEditView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>
#include <QStringList>


// One per test function: made in init(), destroyed in cleanup(), views first.
struct MidiEditFixture {
    ~MidiEditFixture()
    {
        mainWindow.transmitter.release();
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

// The entries of the context menu a right click on the text area opens; "-" for separators.
inline QStringList contextMenuEntries(MidiEditTextView* text)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), text->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(text->viewport(), &event);
    QStringList entries;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* menu = qobject_cast<QMenu*>(widget);
        if (menu != nullptr && menu->isVisible()) {
            for (QAction* action : menu->actions()) {
                entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
            }
            menu->close();
        }
    }
    return entries;
}
