#pragma once

#include "app/PortSelection.h"

#include <QList>

class MainWindow;
class QAction;
class QMenu;
class SubWindowManager;

// The main window's menu bar: File, InputPort, OutputPort, Views (from the kind table), Window
// and Help. What is chosen goes to the main window's slots; an entry whose kind has no view is
// disabled rather than doing nothing.
class MainWindowMenus {
public:
    enum FileMenuAction { NewAction, OpenAction, SaveAction, SaveAsAction, PreferencesAction, QuitAction };
    enum WindowMenuAction { CloseAllAction, CascadeAction, TileAction };

    MainWindowMenus(MainWindow& mainWindow, SubWindowManager& subWindows, PortSelection& ports);

    QMenu* controlChangeMenu() const { return m_pControlChangeMenu; }
    // Rebuilt every time it shows, so that plugged and unplugged devices appear; the first port
    // of the direction is closed when its device has gone.
    void fillPortMenu(PortSelection::Direction direction);
    void updateKindActions();

private:
    void createFileMenu();
    void createPortMenus();
    void createViewsMenu();
    void createWindowMenu();
    void createHelpMenu();
    // The action opens `kind`: enabled while the kind has a creator.
    void trackKind(QAction* action, int kind);

    MainWindow& m_mainWindow;
    SubWindowManager& m_subWindows;
    PortSelection& m_ports;
    QMenu* m_portMenus[2] = {}; // by PortSelection::Direction
    QMenu* m_pControlChangeMenu = nullptr;
    QList<QAction*> m_kindActions;
};
