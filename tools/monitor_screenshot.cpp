// Saves a picture of the main window for the README. Needs a real X server:
//   xvfb-run build/tools/monitor_screenshot out.png
//     the default layout (MIDI In monitor, MIDI Out monitor, message editor) with traffic in it;
//   xvfb-run build/tools/monitor_screenshot out.png 4 5:7 6 10
//     the tool windows of those window identifiers side by side, left to right ("5:7" is a
//     control change window on controller 7).

#include "ToolWindow.h"

#include "views/MidiEditGeneralView.h"

#include <QApplication>
#include <QMdiArea>
#include <QTimer>

#include <cstdio>

namespace {

bool showTraffic(ToolWindow& tool)
{
    tool.model.setModelIntValue(TimeStampParameterId, 1);
    tool.model.setModelIntValue(MessageDetailParameterId, 1);
    tool.model.setModelIntValue(MessageColorParameterId, 1);
    tool.window.initializeSubWindows();
    MidiEditView* editor = tool.view(MidiEditView::SystemExclusiveEdit);
    if (editor == nullptr) {
        return false;
    }
    editor->generalView()->setText(QStringLiteral("// identity request, then a note and a controller\n"
                                                  "F0 7E 7F 06 01 F7\n"
                                                  "90 3C 64  80 3C 00\n"
                                                  "B0 07 64\n"
                                                  "C0 05\n"
                                                  "E0 00 40\n"));
    editor->generalView()->transmitMenuSelected();
    return true;
}

// "4" or "5:7" (identifier, then the first extra value).
bool showSideBySide(ToolWindow& tool, const QStringList& windows)
{
    tool.window.closeAllSubWindows();
    int left = 0;
    int bottom = 0;
    for (const QString& window : windows) {
        const QStringList fields = window.split(':');
        QList<QVariant> extra;
        if (fields.size() > 1) {
            extra << fields.at(1).toInt() << 0;
        }
        QMdiSubWindow* subWindow = tool.window.createSubWindowByWindowId(fields.at(0).toInt(), false, QRect(),
                                                                         Qt::WindowNoState, extra);
        if (subWindow == nullptr) {
            std::fprintf(stderr, "monitor_screenshot: no window %s\n", qPrintable(window));
            return false;
        }
        subWindow->move(left, 0);
        left += subWindow->width();
        bottom = qMax(bottom, subWindow->height());
    }
    const QSize frame = tool.window.size() - tool.window.getMdiArea()->size();
    tool.window.resize(QSize(left, bottom) + frame);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    const QString path = arguments.value(0, QStringLiteral("monitors.png"));

    ToolWindow tool;
    tool.window.show();
    const bool shown = arguments.size() > 1 ? showSideBySide(tool, arguments.mid(1)) : showTraffic(tool);
    if (!shown) {
        return 1;
    }

    // Two monitor ticks after the echo has come back.
    QTimer::singleShot(800, [&] {
        tool.window.grab().save(path);
        std::printf("saved %s\n", qPrintable(path));
        app.quit();
    });
    return app.exec();
}
