// The program's own views in the real main window over the Loopback service, "Loopback A" looped
// from output to input: the wiring through ports, analyzer, monitor timer and project file.

#include "ShellTestSupport.h"

#include "model/TulvarMidiParameters.h"
#include "views/MidiControlChangeView.h"
#include "views/MidiEditGeneralView.h"
#include "views/MidiEditProgressView.h"
#include "views/MidiEditTextView.h"
#include "views/MidiEditView.h"
#include "views/MidiPitchbendView.h"
#include "views/MidiTimingClockGeneratorView.h"
#include "widgets/Dial.h"
#include "widgets/MidiLedCombinedDial.h"
#include "widgets/MidiPitchbendSlider.h"
#include "widgets/MidiTimingClockPlayStopButton.h"

#include <QCheckBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int Timeout = 10000;

QString plainText(MidiEditView* view)
{
    return view->generalView()->textView()->toPlainText();
}

} // namespace

class tst_ViewsEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        f = std::make_unique<ShellFixture>();
        window = &f->show();
        QVERIFY(window->inputPortMenuSelected(InputPortGroupFirst, 0));
        QVERIFY(window->outputPortMenuSelected(OutputPortGroupFirst, 0));
        f->model.setModelIntValue(MessageDetailParameterId, 1);
        in = viewOf<MidiEditView>(*window, WindowRestorationInfo::MidiInMonitorId);
        out = viewOf<MidiEditView>(*window, WindowRestorationInfo::MidiOutMonitorId);
        QVERIFY(in && out);
    }
    void cleanup() { f.reset(); }

    void identityRequestTravelsThroughBothMonitorsIntoReceiver()
    {
        auto* receiver = qobject_cast<MidiEditView*>(
            window->createMidiEditView(WindowRestorationInfo::MidiMessageEditorId, true, QSize(), QString())->widget());
        auto* editor = qobject_cast<MidiEditView*>(
            window->createMidiEditView(WindowRestorationInfo::MidiMessageEditorId, false, QSize(), QString())
                ->widget());
        QCOMPARE(receiver->currentView(), MidiEditView::Progress);
        editor->generalView()->setText(QStringLiteral("F0 7E 7F 06 01 F7 // identity"));
        editor->generalView()->transmitMenuSelected();

        const QString line = QStringLiteral("Port1 SysEx    F0 7E 7F 06 01 F7");
        QTRY_COMPARE_WITH_TIMEOUT(plainText(out), line, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(plainText(in), line, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(receiver->progressView()->message(), QStringLiteral("6Bytes"), Timeout);
        QCOMPARE(plainText(receiver), QStringLiteral("F0 7E 7F 06 01 F7"));
    }

    void loopedBackClockShowsItsTempo()
    {
        menuEntry(*window, QStringLiteral("&Views"), QStringLiteral("&Timing Clock"))->trigger();
        auto* clock = viewOf<MidiTimingClockGeneratorView>(*window, WindowRestorationInfo::TimingClockId);
        QCOMPARE(clock->receivedTempoLabel()->text(), QStringLiteral("--- BPM"));
        clock->tempoKnob()->setValue(120);
        clock->playButton()->setChecked(true);
        QTRY_COMPARE_WITH_TIMEOUT(clock->receivedTempoLabel()->text(), QStringLiteral("120 BPM"), Timeout);
    }

    // The views that send when a control moves send nothing while a project sets their controls.
    void projectBringsBackViewSettingsWithoutSending()
    {
        // Restored from the settings file, where its values are text.
        QVERIFY(window->createSubWindowByWindowId(WindowRestorationInfo::ControlChangeId, false,
                                                  QRect(10, 10, 225, 250), Qt::WindowNoState,
                                                  {QStringLiteral("64"), QStringLiteral("0")}));
        window->subWindows().openSubWindow({WindowRestorationInfo::PitchBendId});
        viewOf<MidiControlChangeView>(*window, WindowRestorationInfo::ControlChangeId)->valueDial()->setValue(99);
        auto* pitchBend = viewOf<MidiPitchbendView>(*window, WindowRestorationInfo::PitchBendId);
        pitchBend->wheelModeCheckBox()->setChecked(false);
        pitchBend->slider()->setValue(100);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("play.tulvarmidi"));
        QVERIFY(window->saveProjectFile(path));
        QTRY_VERIFY_WITH_TIMEOUT(!plainText(out).isEmpty(), Timeout);

        QVERIFY(window->openProjectFile(path));
        auto* controller = viewOf<MidiControlChangeView>(*window, WindowRestorationInfo::ControlChangeId);
        QCOMPARE(controller->getRestorationParameters(), (QVariantList{64, 0}));
        QCOMPARE(controller->valueDial()->value(), 99);
        QCOMPARE(viewOf<MidiPitchbendView>(*window, WindowRestorationInfo::PitchBendId)->slider()->value(), 100);
        // Two monitor ticks.
        out = viewOf<MidiEditView>(*window, WindowRestorationInfo::MidiOutMonitorId);
        QTest::qWait(300);
        QCOMPARE(plainText(out), QString());
    }

private:
    std::unique_ptr<ShellFixture> f;
    MainWindow* window = nullptr;
    MidiEditView* in = nullptr;
    MidiEditView* out = nullptr;
};

QTEST_MAIN(tst_ViewsEndToEnd)
#include "tst_ViewsEndToEnd.moc"
