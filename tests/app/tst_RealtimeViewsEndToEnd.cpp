// The timing clock and active sensing windows inside the real main window, over the Loopback
// service: the clock sent comes back in, is measured by the analyzer and shown by the window's
// timer, and a project saved while both run opens with both running again.

#include "ShellTestSupport.h"

#include "views/MidiActivesensingView.h"
#include "views/MidiTimingClockGeneratorView.h"
#include "widgets/MidiLedCombinedDial.h"
#include "widgets/MidiTimingClockPlayStopButton.h"

#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int Timeout = 10000;

QAction* viewsMenuEntry(MainWindow& window, const QString& text)
{
    for (QAction* menu : window.menuBar()->actions()) {
        if (menu->text() != QStringLiteral("&Views")) {
            continue;
        }
        for (QAction* action : menu->menu()->actions()) {
            if (action->text() == text) {
                return action;
            }
        }
    }
    return nullptr;
}

template <class View>
View* openView(MainWindow& window, int kind)
{
    QMdiSubWindow* subWindow = subWindowsOfKind(window, kind).value(0);
    return subWindow != nullptr ? qobject_cast<View*>(subWindow->widget()) : nullptr;
}

} // namespace

class tst_RealtimeViewsEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void loopedBackClockShowsItsTempoAndAProjectReopensRunning()
    {
        ShellFixture f;
        MainWindow& window = f.create();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QStringList names;
        unsigned int current = 0;
        window.getInputPortList(InputPortGroupFirst, names, current);
        QVERIFY(window.inputPortMenuSelected(InputPortGroupFirst, unsigned(names.indexOf("Loopback A") - 1)));
        window.getOutputPortList(OutputPortGroupFirst, names, current);
        QVERIFY(window.outputPortMenuSelected(OutputPortGroupFirst, unsigned(names.indexOf("Loopback A") - 1)));

        for (const char* entry : {"&Timing Clock", "Sta&rt/Stop", "&Active Sensing", "Cust&om MIDI Message"}) {
            QAction* action = viewsMenuEntry(window, QString::fromUtf8(entry));
            QVERIFY2(action != nullptr && action->isEnabled(), entry);
        }
        viewsMenuEntry(window, QStringLiteral("&Timing Clock"))->trigger();
        viewsMenuEntry(window, QStringLiteral("&Active Sensing"))->trigger();
        auto* clock = openView<MidiTimingClockGeneratorView>(window, WindowRestorationInfo::TimingClockId);
        auto* sensing = openView<MidiActivesensingView>(window, WindowRestorationInfo::ActiveSensingId);
        QVERIFY(clock != nullptr && sensing != nullptr);
        QCOMPARE(clock->receivedTempoLabel()->text(), QStringLiteral("--- BPM"));

        clock->tempoKnob()->setValue(120);
        clock->playButton()->setChecked(true);
        sensing->intervalKnob()->setValue(150);
        sensing->transmitButton()->setChecked(true);
        QTRY_COMPARE_WITH_TIMEOUT(clock->receivedTempoLabel()->text(), QStringLiteral("120 BPM"), Timeout);

        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("running.tulvarmidi"));
        QVERIFY(window.saveProjectFile(path));
        QVERIFY(window.openProjectFile(path));
        clock = openView<MidiTimingClockGeneratorView>(window, WindowRestorationInfo::TimingClockId);
        sensing = openView<MidiActivesensingView>(window, WindowRestorationInfo::ActiveSensingId);
        QVERIFY(clock != nullptr && sensing != nullptr);
        QCOMPARE(clock->tempoKnob()->value(), 120);
        QVERIFY(clock->playButton()->isChecked());
        QCOMPARE(sensing->intervalKnob()->value(), 150);
        QCOMPARE(sensing->transmitButton()->text(), QStringLiteral("Stop"));
        QTRY_COMPARE_WITH_TIMEOUT(clock->receivedTempoLabel()->text(), QStringLiteral("120 BPM"), Timeout);
    }
};

QTEST_MAIN(tst_RealtimeViewsEndToEnd)
#include "tst_RealtimeViewsEndToEnd.moc"
