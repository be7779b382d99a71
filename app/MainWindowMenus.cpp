#include "app/MainWindowMenus.h"

#include "app/MainWindow.h"
#include "app/SubWindowManager.h"
#include "engine/MessageTables.h"
#include "midi/MidiConstants.h"
#include "persistence/WindowRestorationInfo.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

MainWindowMenus::MainWindowMenus(MainWindow& mainWindow, SubWindowManager& subWindows, PortSelection& ports)
    : m_mainWindow(mainWindow), m_subWindows(subWindows), m_ports(ports)
{
    createFileMenu();
    createPortMenus();
    createViewsMenu();
    createWindowMenu();
    createHelpMenu();
    updateKindActions();
}

void MainWindowMenus::createFileMenu()
{
    QMenu* fileMenu = m_mainWindow.menuBar()->addMenu(MainWindow::tr("&File"));
    const struct {
        const char* text;
        QKeySequence shortcut;
        int action;
    } fileEntries[] = {
        {"&New", QKeySequence(MainWindow::tr("Ctrl+N")), NewAction},
        {"&Open...", QKeySequence(MainWindow::tr("Ctrl+O")), OpenAction},
        {"&Save", QKeySequence(MainWindow::tr("Ctrl+S")), SaveAction},
        {"Save &As...", QKeySequence(MainWindow::tr("Shift+Ctrl+S")), SaveAsAction},
        {nullptr, {}, -1},
        {"&Preferences...", QKeySequence(MainWindow::tr("Ctrl+,")), PreferencesAction},
        {nullptr, {}, -1},
        {"&Quit", QKeySequence(MainWindow::tr("Ctrl+Q")), QuitAction},
    };
    for (const auto& entry : fileEntries) {
        if (entry.text == nullptr) {
            fileMenu->addSeparator();
            continue;
        }
        QAction* action = fileMenu->addAction(MainWindow::tr(entry.text));
        action->setShortcut(entry.shortcut);
        action->setData(entry.action);
        if (entry.action == PreferencesAction) {
            trackKind(action, PreferencesKind);
        }
    }
    QObject::connect(fileMenu, &QMenu::triggered, &m_mainWindow, &MainWindow::fileMenuSelected);
}

void MainWindowMenus::createPortMenus()
{
    QMenu* input = m_portMenus[int(PortSelection::Direction::Input)] =
        m_mainWindow.menuBar()->addMenu(MainWindow::tr("&InputPort"));
    QObject::connect(input, &QMenu::aboutToShow, &m_mainWindow, &MainWindow::createInputPortMenu);
    QObject::connect(input, &QMenu::triggered, &m_mainWindow, qOverload<QAction*>(&MainWindow::inputPortMenuSelected));
    QMenu* output = m_portMenus[int(PortSelection::Direction::Output)] =
        m_mainWindow.menuBar()->addMenu(MainWindow::tr("&OutputPort"));
    QObject::connect(output, &QMenu::aboutToShow, &m_mainWindow, &MainWindow::createOutputPortMenu);
    QObject::connect(output, &QMenu::triggered, &m_mainWindow,
                     qOverload<QAction*>(&MainWindow::outputPortMenuSelected));
}

// The kinds of the table in its order; each action's data is its position, 0-13.
void MainWindowMenus::createViewsMenu()
{
    QMenu* viewsMenu = m_mainWindow.menuBar()->addMenu(MainWindow::tr("&Views"));
    int index = 0;
    SubWindowMenu part = SubWindowMenu::Views;
    for (const SubWindowKind& row : subWindowKindTable()) {
        if (row.menu != SubWindowMenu::Views && row.menu != SubWindowMenu::ViewsAfterSeparator) {
            continue;
        }
        if (row.menu != part) {
            viewsMenu->addSeparator();
            part = row.menu;
        }
        QAction* action = nullptr;
        if (row.kind == WindowRestorationInfo::ControlChangeId) {
            m_pControlChangeMenu = viewsMenu->addMenu(MainWindow::tr(row.menuText));
            action = m_pControlChangeMenu->menuAction();
            for (int number = 0; number < 128; ++number) {
                m_pControlChangeMenu->addAction(QString::fromLatin1(ControlChangeNameList[number]))->setData(number);
            }
            QObject::connect(m_pControlChangeMenu, &QMenu::triggered, &m_mainWindow,
                             &MainWindow::controlChangeMenuSelected);
        } else {
            action = viewsMenu->addAction(MainWindow::tr(row.menuText));
            action->setShortcut(QKeySequence(MainWindow::tr(row.shortcut)));
        }
        action->setData(index++);
        trackKind(action, row.kind);
    }
    QObject::connect(viewsMenu, &QMenu::triggered, &m_mainWindow, &MainWindow::viewsMenuSelected);
}

void MainWindowMenus::createWindowMenu()
{
    QMenu* windowMenu = m_mainWindow.menuBar()->addMenu(MainWindow::tr("&Window"));
    windowMenu->addAction(MainWindow::tr("Close &All"))->setData(CloseAllAction);
    windowMenu->addAction(MainWindow::tr("&Cascade"))->setData(CascadeAction);
    windowMenu->addAction(MainWindow::tr("&Tile"))->setData(TileAction);
    QObject::connect(windowMenu, &QMenu::triggered, &m_mainWindow, &MainWindow::windowMenuSelected);
}

void MainWindowMenus::createHelpMenu()
{
    QMenu* helpMenu = m_mainWindow.menuBar()->addMenu(MainWindow::tr("&Help"));
    for (const SubWindowKind& row : subWindowKindTable()) {
        if (row.menu == SubWindowMenu::Help) {
            QAction* action = helpMenu->addAction(MainWindow::tr(row.menuText));
            action->setData(row.kind);
            trackKind(action, row.kind);
        }
    }
    QObject::connect(helpMenu, &QMenu::triggered, &m_mainWindow, &MainWindow::helpMenuSelected);
}

void MainWindowMenus::trackKind(QAction* action, int kind)
{
    action->setProperty("kind", kind);
    m_kindActions.append(action);
}

void MainWindowMenus::updateKindActions()
{
    for (QAction* action : qAsConst(m_kindActions)) {
        action->setEnabled(m_subWindows.hasSubWindowCreator(action->property("kind").toInt()));
    }
}

void MainWindowMenus::fillPortMenu(PortSelection::Direction direction)
{
    QMenu* menu = m_portMenus[int(direction)];
    for (QAction* action : menu->actions()) {
        delete action->actionGroup();
    }
    menu->clear();
    auto* group = new QActionGroup(menu);
    group->setExclusive(true);

    QStringList names;
    unsigned int currentIndex = 0;
    m_ports.getPortList(direction, 0, names, currentIndex);
    for (int position = 0; position < names.size(); ++position) {
        QAction* action = menu->addAction(names.at(position));
        action->setCheckable(true);
        action->setData(position == 0 ? QVariant(InvalidPortIndex) : QVariant(unsigned(position - 1)));
        group->addAction(action);
    }
    if (currentIndex == 0) {
        m_ports.close(direction, 0);
    }
    menu->actions().at(int(currentIndex))->setChecked(true);
}
