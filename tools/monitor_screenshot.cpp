// Saves a picture of the default layout (MIDI In monitor, MIDI Out monitor, message editor) with
// traffic in it, for the README. Needs a real X server: xvfb-run build/tools/monitor_screenshot out.png

#include "ToolWindow.h"

#include "views/MidiEditGeneralView.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("monitors.png");

    ToolWindow tool;
    tool.model.setModelIntValue(TimeStampParameterId, 1);
    tool.model.setModelIntValue(MessageDetailParameterId, 1);
    tool.model.setModelIntValue(MessageColorParameterId, 1);
    tool.window.show();
    tool.window.initializeSubWindows();
    MidiEditView* editor = tool.view(MidiEditView::SystemExclusiveEdit);
    if (editor == nullptr) {
        std::fprintf(stderr, "monitor_screenshot: no message editor\n");
        return 1;
    }
    editor->generalView()->setText(QStringLiteral("// identity request, then a note and a controller\n"
                                                  "F0 7E 7F 06 01 F7\n"
                                                  "90 3C 64  80 3C 00\n"
                                                  "B0 07 64\n"
                                                  "C0 05\n"
                                                  "E0 00 40\n"));
    editor->generalView()->transmitMenuSelected();

    // Two monitor ticks after the echo has come back.
    QTimer::singleShot(800, [&] {
        tool.window.grab().save(path);
        std::printf("saved %s\n", qPrintable(path));
        app.quit();
    });
    return app.exec();
}
