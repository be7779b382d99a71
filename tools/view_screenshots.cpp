// Saves a picture of each settings and information window for the README: filter, MIDI settings,
// preferences, PC keyboard, about box and licence text, each in its frame in the workspace.
// Needs a real X server: xvfb-run build/tools/view_screenshots docs/images

#include "ToolWindow.h"

#include "app/SubWindowManager.h"
#include "support/ImageResources.h"

#include <QApplication>
#include <QDir>
#include <QMdiSubWindow>
#include <QTimer>

#include <cstdio>

namespace {

struct Shot {
    const char* file;
    int kind;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    registerImageResources();
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));

    ToolWindow tool;
    tool.window.resize(760, 560);
    tool.window.show();
    // A few switches set, so that the pictures show both states.
    tool.model.setModelIntValue(ChannelFilterParameterId + 9, 1);
    tool.model.setModelIntValue(MessageTypeFilterParameterId + 4, 1);
    tool.model.setModelIntValue(ControlChangeFilterParameterId + 1, 1);
    tool.model.setModelIntValue(MidiThruParameterId, 1);
    tool.model.setModelIntValue(PCKeyboardEnableParameterId, 1);

    const Shot shots[] = {
        {"filter.png", WindowRestorationInfo::FilterId},
        {"midi_settings.png", WindowRestorationInfo::MidiSettingsId},
        {"preferences.png", PreferencesKind},
        {"pc_keyboard.png", WindowRestorationInfo::PCKeyboardId},
        {"about.png", AboutKind},
        {"license.png", OpenSourceLicenseKind},
    };

    int status = 0;
    QTimer::singleShot(300, [&] {
        for (const Shot& shot : shots) {
            tool.window.closeAllSubWindows();
            QMdiSubWindow* subWindow = tool.window.subWindows().openSubWindow(SubWindowRequest(shot.kind));
            if (subWindow == nullptr) {
                std::fprintf(stderr, "view_screenshots: no window of kind %d\n", shot.kind);
                status = 1;
                continue;
            }
            subWindow->move(10, 10);
            QApplication::processEvents();
            const QString path = folder.filePath(QString::fromLatin1(shot.file));
            if (!subWindow->grab().save(path)) {
                std::fprintf(stderr, "view_screenshots: cannot write %s\n", qPrintable(path));
                status = 1;
            } else {
                std::printf("saved %s\n", qPrintable(path));
            }
        }
        app.quit();
    });
    app.exec();
    return status;
}
