#pragma once

// Shared by the shell's tests: a stand-in view, a message box answerer, the fixture, look-ups.

#include "app/MainWindow.h"
#include "testkit/FaultInjectingMidiService.h"
#include "model/TulvarMidiModel.h"
#include "persistence/FileStream.h"
#include "persistence/WindowRestorationInfo.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <memory>

// A tool view of any kind with an empty project payload; as a control change view, its controller.
class StandInView : public QFrame, public WindowRestorationInfo, public FileStream {
public:
    explicit StandInView(const SubWindowRequest& request)
        : WindowRestorationInfo(WindowId(request.kind)), m_controllerNumber(request.controllerNumber) {}
    QList<QVariant> getRestorationParameters() const override
    {
        return getWindowId() == ControlChangeId ? QList<QVariant>{m_controllerNumber, 0} : QList<QVariant>{};
    }
    bool setDataStream(QDataStream&) override { return true; }
    bool getDataStream(QDataStream&) override { return true; }

private:
    int m_controllerNumber;
};

// Clicks `answer` in every message box that becomes modal while it lives, recording texts and titles.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok) : m_answer(answer)
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            // Boxes made on the stack one after another can share an address: mark each one.
            if (box == nullptr || box->isHidden() || box->property("answered").toBool()) {
                return;
            }
            box->setProperty("answered", true);
            texts.append(box->text());
            titles.append(box->windowTitle());
            icons.append(box->icon());
            buttons.append(box->standardButtons());
            if (QAbstractButton* button = box->button(m_answer)) {
                button->click();
            } else {
                box->reject();
            }
        });
        m_timer.start();
    }
    void setAnswer(QMessageBox::StandardButton answer) { m_answer = answer; }

    QStringList texts;
    QStringList titles;
    QList<QMessageBox::Icon> icons;
    QList<QMessageBox::StandardButtons> buttons;

private:
    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
};

inline QList<QMdiSubWindow*> subWindowsOfKind(MainWindow& window, int kind)
{
    QList<QMdiSubWindow*> found;
    for (QMdiSubWindow* subWindow : window.getMdiArea()->subWindowList()) {
        auto* info = dynamic_cast<WindowRestorationInfo*>(subWindow->widget());
        if (info != nullptr && info->getWindowId() == kind) {
            found.append(subWindow);
        }
    }
    return found;
}

template <class View>
View* viewOf(MainWindow& window, int kind)
{
    QMdiSubWindow* subWindow = subWindowsOfKind(window, kind).value(0);
    return subWindow != nullptr ? qobject_cast<View*>(subWindow->widget()) : nullptr;
}

// The entry `text` of the menu bar's menu `menu`, or that menu's own action when `text` is empty.
inline QAction* menuEntry(MainWindow& window, const QString& menu, const QString& text = QString())
{
    for (QAction* title : window.menuBar()->actions()) {
        if (title->text() == menu) {
            for (QAction* action : title->menu()->actions()) {
                if (!text.isEmpty() && action->text() == text) {
                    return action;
                }
            }
            return text.isEmpty() ? title : nullptr;
        }
    }
    return nullptr;
}

// Every message box is answered, so that an unexpected one fails the test instead of hanging it.
struct ShellFixture {
    ShellFixture() { QFile::remove(SettingsStore::defaultIniFilePath()); }
    ~ShellFixture()
    {
        window.reset();
        QFile::remove(SettingsStore::defaultIniFilePath());
    }
    // (Re)creates the main window (or a test's decoration of it) over the same model and service.
    template <class Window = MainWindow>
    Window& create()
    {
        window.reset();
        auto* created = new Window(nullptr, &model, service);
        window.reset(created);
        if (toolViews) {
            for (int kind = WindowRestorationInfo::FirstToolWindowId; kind <= WindowRestorationInfo::LastToolWindowId;
                 ++kind) {
                created->subWindows().setSubWindowCreator(kind, toolViews);
            }
        }
        return *created;
    }
    // Created and shown; `empty`: without the default layout, as when opened with a project file.
    template <class Window = MainWindow>
    Window& show(bool empty = false)
    {
        Window& created = create<Window>();
        created.setOpenedWithFile(empty);
        created.show();
        if (!QTest::qWaitForWindowExposed(&created)) {
            qWarning("The main window was not exposed.");
        }
        return created;
    }

    // When set, makes every tool kind's view instead of the program's views.
    SubWindowCreator toolViews;
    MessageBoxAnswerer boxes;
    TulvarMidiModel model;
    FaultInjectingMidiService service;
    std::unique_ptr<MainWindow> window;
};
