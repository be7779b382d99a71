#pragma once

#include "persistence/FileStream.h"
#include "persistence/ProjectWindowsIF.h"
#include "persistence/WindowRestorationInfo.h"

#include <QList>
#include <QString>

#include <memory>
#include <vector>

// Windows without widgets for the project file's tests and fuzzer. A message editor (ID 3)
// stores its text as string record 0, like the real one; every other kind stores nothing.
class StubProjectWindows : public ProjectWindowsIF {
public:
    class View : public FileStream {
    public:
        bool setDataStream(QDataStream& stream) override
        {
            return !isEditor() || getStringParameterFromStream(stream, 0, text);
        }
        bool getDataStream(QDataStream& stream) override
        {
            if (failPayload) {
                return false;
            }
            if (isEditor()) {
                setStringParameterToStream(stream, 0, text);
            }
            return true;
        }

        bool isEditor() const { return info.windowId == WindowRestorationInfo::MidiMessageEditorId; }

        WindowInfoStruct info;
        QString text;
        bool failPayload = false;
    };

    View& addToolWindow(const WindowInfoStruct& info, const QString& text = QString())
    {
        views.push_back(std::make_unique<View>());
        views.back()->info = info;
        views.back()->text = text;
        return *views.back();
    }

    WindowInfoStruct getMainWindowInfo() const override { return mainWindow; }

    QList<ToolWindow> getToolWindows() const override
    {
        QList<ToolWindow> windows;
        for (const auto& view : views) {
            windows.append(ToolWindow{view->info, view.get()});
        }
        return windows;
    }

    void restoreMainWindow(const WindowInfoStruct& info) override
    {
        views.clear();
        mainWindow = info;
        ++mainWindowRestored;
    }

    bool createToolWindow(const WindowInfoStruct& info, FileStream*& view) override
    {
        if (!WindowRestorationInfo::isToolWindowId(info.windowId)) {
            return false;
        }
        view = &addToolWindow(info);
        return true;
    }

    WindowInfoStruct mainWindow;
    std::vector<std::unique_ptr<View>> views;
    int mainWindowRestored = 0;
};
