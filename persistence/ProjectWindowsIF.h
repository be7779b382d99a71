#pragma once

#include "persistence/WindowInfoStruct.h"

#include <QList>

class FileStream;

// The windows a project file saves and rebuilds. The main window implements it; the reader's
// tests and the fuzzer put a stand-in in its place, so parsing never needs real windows.
class ProjectWindowsIF {
public:
    // A tool window that is saved: its record and the view that writes its payload.
    struct ToolWindow {
        WindowInfoStruct info;
        FileStream* view = nullptr;
    };

    virtual ~ProjectWindowsIF();

    // The main window's record (window ID 0, no parameters).
    virtual WindowInfoStruct getMainWindowInfo() const = 0;
    // Every tool window whose view is both a FileStream and a WindowRestorationInfo, in the
    // MDI area's activation order (the active one last).
    virtual QList<ToolWindow> getToolWindows() const = 0;

    // Closes every tool window and places the main window as the record says.
    virtual void restoreMainWindow(const WindowInfoStruct& info) = 0;
    // Creates one tool window from its record. False when none was created; otherwise `view` is
    // the new window's FileStream, or null when its view stores nothing.
    virtual bool createToolWindow(const WindowInfoStruct& info, FileStream*& view) = 0;
};
