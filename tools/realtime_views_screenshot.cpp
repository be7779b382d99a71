// Saves a picture of the timing clock, transport panel, active sensing and custom message windows
// at work, for the README: the clock runs at 120 BPM and comes back in over the Loopback service,
// so that its received tempo shows, and active sensing is on. Needs a real X server:
// xvfb-run build/tools/realtime_views_screenshot out.png

#include "ToolWindow.h"

#include "views/MidiActivesensingView.h"
#include "views/MidiCustomMidiMessageView.h"
#include "views/MidiTimingClockGeneratorView.h"
#include "views/MidiTransportPanelView.h"
#include "widgets/Dial.h"
#include "widgets/LineEdit.h"
#include "widgets/MidiLedCombinedDial.h"
#include "widgets/MidiTimingClockPlayStopButton.h"
#include "widgets/SpinBox.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

template <class View>
View* open(ToolWindow& tool, WindowRestorationInfo::WindowId id, const QRect& rect)
{
    QMdiSubWindow* subWindow = tool.window.createSubWindowByWindowId(id, false, rect, Qt::WindowNoState, {});
    return subWindow != nullptr ? qobject_cast<View*>(subWindow->widget()) : nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("realtime-views.png");

    ToolWindow tool;
    tool.window.show();
    tool.window.resize(730, 470);
    tool.window.closeAllSubWindows();
    auto* clock = open<MidiTimingClockGeneratorView>(tool, WindowRestorationInfo::TimingClockId, {0, 0, 220, 250});
    auto* sensing = open<MidiActivesensingView>(tool, WindowRestorationInfo::ActiveSensingId, {220, 0, 220, 250});
    auto* custom = open<MidiCustomMidiMessageView>(tool, WindowRestorationInfo::CustomMidiMessageId, {440, 0, 270, 274});
    auto* transport = open<MidiTransportPanelView>(tool, WindowRestorationInfo::TransportPanelId, {0, 250, 0, 0});
    if (clock == nullptr || sensing == nullptr || custom == nullptr || transport == nullptr) {
        std::fprintf(stderr, "realtime_views_screenshot: a window did not open\n");
        return 1;
    }
    clock->tempoKnob()->setValue(120);
    clock->playButton()->setChecked(true);
    sensing->intervalKnob()->setValue(300);
    sensing->transmitButton()->setChecked(true);
    custom->nameEdit()->setText(QStringLiteral("Reverb send"));
    custom->messageEdit()->setText(QStringLiteral("B0 5B 00"));
    custom->targetSpinBox()->setValue(3);
    custom->valueKnob()->setValue(64);
    transport->songPositionSpinBox()->setWidgetValue(64);

    // Once a beat has been measured, the next time the beat light is lit.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (clock->receivedTempoLabel()->text() != QStringLiteral("120 BPM") || !clock->tempoKnob()->isLedOn()) {
            return;
        }
        poll.stop();
        tool.window.grab().save(path);
        std::printf("saved %s\n", qPrintable(path));
        app.quit();
    });
    QTimer::singleShot(1500, [&] { poll.start(5); });
    return app.exec();
}
