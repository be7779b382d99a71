#pragma once

#include "persistence/ProjectWindowsIF.h"

class MainWindow;

// The main window's side of a project file: which windows are saved, with which records and
// views, and how the workspace is rebuilt from the records that are read.
class MainWindowProjectWindows : public ProjectWindowsIF {
public:
    explicit MainWindowProjectWindows(MainWindow& mainWindow);

    WindowInfoStruct getMainWindowInfo() const override;
    QList<ToolWindow> getToolWindows() const override;
    void restoreMainWindow(const WindowInfoStruct& info) override;
    bool createToolWindow(const WindowInfoStruct& info, FileStream*& view) override;

    // True once reading has replaced the workspace (every tool window closed).
    bool workspaceReplaced() const { return m_workspaceReplaced; }

private:
    MainWindow& m_mainWindow;
    bool m_workspaceReplaced = false;
};
