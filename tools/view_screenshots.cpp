// Saves a picture of each settings and information window for the README: filter, MIDI settings,
// preferences, PC keyboard, about box and licence text, each in its frame in the workspace.
// Needs a real X server: xvfb-run build/tools/view_screenshots docs/images

#include "ToolWindow.h"

#include "app/support/ImageResources.h"
#include "views/AboutView.h"
#include "views/LicenseTextView.h"
#include "views/MidiFilterView.h"
#include "views/MidiPCKeyboardView.h"
#include "views/MidiSettingsView.h"
#include "views/PreferencesView.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

struct Shot {
    const char* file;
    const char* title;
    std::function<QWidget*(TulvarMidiModel*)> make;
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
        {"filter.png", "Filter", [](TulvarMidiModel* model) { return new MidiFilterView(nullptr, model); }},
        {"midi_settings.png", "MIDI Settings",
         [](TulvarMidiModel* model) { return new MidiSettingsView(nullptr, model); }},
        {"preferences.png", "Preferences", [](TulvarMidiModel* model) { return new PreferencesView(nullptr, model); }},
        {"pc_keyboard.png", "PC Keyboard", [](TulvarMidiModel* model) { return new MidiPCKeyboardView(nullptr, model); }},
        {"about.png", nullptr, [](TulvarMidiModel*) { return new AboutView(nullptr); }},
        {"license.png", "Open Source License", [](TulvarMidiModel*) { return new LicenseInfoView(nullptr); }},
    };

    int status = 0;
    QTimer::singleShot(300, [&] {
        for (const Shot& shot : shots) {
            tool.window.closeAllSubWindows();
            QMdiSubWindow* subWindow = tool.window.getMdiArea()->addSubWindow(shot.make(&tool.model));
            if (shot.title == nullptr) {
                subWindow->setWindowFlags(Qt::FramelessWindowHint);
            } else {
                subWindow->setWindowTitle(QString::fromLatin1(shot.title));
            }
            subWindow->adjustSize();
            if (auto* text = qobject_cast<LicenseTextView*>(subWindow->widget())) {
                subWindow->resize(subWindow->size() - text->size() + text->sizeHint());
            }
            subWindow->move(10, 10);
            subWindow->show();
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
