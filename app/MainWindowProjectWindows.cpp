#include "app/MainWindowProjectWindows.h"

#include "app/MainWindow.h"
#include "persistence/FileStream.h"
#include "persistence/WindowRestorationInfo.h"

#include <QMdiSubWindow>

namespace {

// Only the window-state bits a window can take; anything else in a file is ignored.
Qt::WindowStates storedWindowState(int bits)
{
    return Qt::WindowStates(bits) & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowActive);
}

} // namespace

MainWindowProjectWindows::MainWindowProjectWindows(MainWindow& mainWindow) : m_mainWindow(mainWindow) {}

WindowInfoStruct MainWindowProjectWindows::getMainWindowInfo() const
{
    WindowInfoStruct info;
    info.windowId = WindowRestorationInfo::MainWindowId;
    info.stayOnTop = m_mainWindow.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    info.rect = m_mainWindow.isNormalWindowState(&m_mainWindow) ? m_mainWindow.geometry() : m_mainWindow.normalGeometry();
    info.windowState = int(m_mainWindow.windowState());
    return info;
}

QList<ProjectWindowsIF::ToolWindow> MainWindowProjectWindows::getToolWindows() const
{
    QList<ToolWindow> windows;
    for (QMdiSubWindow* subWindow : m_mainWindow.getSubWindowList()) {
        const auto* restoration = dynamic_cast<WindowRestorationInfo*>(subWindow->widget());
        auto* view = dynamic_cast<FileStream*>(subWindow->widget());
        if (restoration == nullptr || view == nullptr) {
            continue;
        }
        ToolWindow window;
        window.info.windowId = restoration->getWindowId();
        window.info.parameters = restoration->getRestorationParameters();
        window.info.stayOnTop = subWindow->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        window.info.rect = m_mainWindow.getNormalRect(subWindow);
        window.info.windowState = int(subWindow->windowState());
        window.view = view;
        windows.append(window);
    }
    return windows;
}

void MainWindowProjectWindows::restoreMainWindow(const WindowInfoStruct& info)
{
    m_mainWindow.closeAllSubWindows();
    m_workspaceReplaced = true;
    m_mainWindow.showNormal();
    if (info.rect.isValid()) {
        m_mainWindow.setGeometry(m_mainWindow.getMainWindowRestorationRect(info.rect));
    }
    const Qt::WindowStates state = storedWindowState(info.windowState);
    if (!(state & (Qt::WindowMinimized | Qt::WindowFullScreen))) {
        m_mainWindow.setWindowState(m_mainWindow.windowState() | state);
    }
    if (info.stayOnTop) {
        // Changing the flags hides a top-level window.
        m_mainWindow.setWindowFlags(m_mainWindow.windowFlags() | Qt::WindowStaysOnTopHint);
        m_mainWindow.show();
    }
}

bool MainWindowProjectWindows::createToolWindow(const WindowInfoStruct& info, FileStream*& view)
{
    QMdiSubWindow* subWindow = m_mainWindow.createSubWindowByWindowId(
        info.windowId, info.stayOnTop, info.rect, storedWindowState(info.windowState), info.parameters);
    if (subWindow == nullptr) {
        return false;
    }
    view = dynamic_cast<FileStream*>(subWindow->widget());
    return true;
}
