// The program's own views inside the real main window, over the Loopback
// service with "Loopback A" as first input and output: what leaves comes back
// in. Each view's own behaviour is its test's in tests/views; here the wiring
// through ports, analyzer, monitor timer and project file.

#include "ShellTestSupport.h"

#include "model/TulvarMidiParameters.h"
#include "views/MidiActivesensingView.h"
#include "views/MidiControlChangeView.h"
#include "views/MidiEditGeneralView.h"
#include "views/MidiEditProgressView.h"
#include "views/MidiEditTextView.h"
#include "views/MidiEditView.h"
#include "views/MidiKeyboardUpperView.h"
#include "views/MidiKeyboardView.h"
#include "views/MidiKeyboardViewScrollArea.h"
#include "views/MidiPitchbendView.h"
#include "views/MidiProgramChangeView.h"
#include "views/MidiTimingClockGeneratorView.h"
#include "widgets/Dial.h"
#include "widgets/MidiLedCombinedDial.h"
#include "widgets/MidiPitchbendSlider.h"
#include "widgets/MidiTimingClockPlayStopButton.h"
#include "widgets/PressureKeyboard.h"
#include "widgets/SevenSegment.h"
#include "widgets/SpinBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int Timeout = 10000;
using PortDirection = SettingsStore::PortDirection;

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
        QVERIFY(selectPortNamed(*window, PortDirection::Input, 0, QStringLiteral("Loopback A")));
        QVERIFY(selectPortNamed(*window, PortDirection::Output, 0, QStringLiteral("Loopback A")));
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

    void playingViewsKeepTheirSettingsInTheProjectAndOpenSilently()
    {
        window->subWindows().openSubWindow({WindowRestorationInfo::KeyboardId});
        // Restored from the settings file, where its values are text.
        QVERIFY(window->createSubWindowByWindowId(WindowRestorationInfo::ControlChangeId, false,
                                                  QRect(10, 10, 225, 250), Qt::WindowNoState,
                                                  {QStringLiteral("64"), QStringLiteral("0")}));
        window->subWindows().openSubWindow({WindowRestorationInfo::ProgramChangeId});
        window->subWindows().openSubWindow({WindowRestorationInfo::PitchBendId});
        auto* keyboard = viewOf<MidiKeyboardView>(*window, WindowRestorationInfo::KeyboardId);
        auto* controller = viewOf<MidiControlChangeView>(*window, WindowRestorationInfo::ControlChangeId);
        auto* program = viewOf<MidiProgramChangeView>(*window, WindowRestorationInfo::ProgramChangeId);
        auto* pitchBend = viewOf<MidiPitchbendView>(*window, WindowRestorationInfo::PitchBendId);
        keyboard->scrollArea()->horizontalScrollBar()->setValue(250);
        keyboard->upperView()->channelSpinBox()->setValue(5);
        keyboard->upperView()->velocitySpinBox()->setValue(90);
        keyboard->upperView()->pressureComboBox()->setCurrentIndex(2);
        controller->valueDial()->setValue(99);
        program->programNumberDisplay()->setValue(4);
        program->autoTransmitCheckBox()->setChecked(true);
        pitchBend->wheelModeCheckBox()->setChecked(false);
        pitchBend->slider()->setValue(100);
        const int bend = pitchBend->displaySpinBox()->value();
        auto settings = [&] {
            return QVariantList{keyboard->scrollArea()->horizontalScrollBar()->value(),
                                keyboard->upperView()->channelSpinBox()->value(),
                                keyboard->upperView()->velocitySpinBox()->value(),
                                keyboard->keyboard()->pressureMode(),
                                controller->getRestorationParameters(),
                                controller->valueDial()->value(),
                                program->programNumberDisplay()->value(),
                                program->autoTransmitCheckBox()->isChecked(),
                                pitchBend->wheelModeCheckBox()->isChecked(),
                                pitchBend->displaySpinBox()->value(),
                                pitchBend->slider()->value()};
        };
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("play.tulvarmidi"));
        QVERIFY(window->saveProjectFile(path));
        // Saved one-based as 4; opened zero-based it is the same program, 3.
        f->model.setModelIntValue(ProgramNumberBaseParameterId, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!plainText(out).isEmpty(), Timeout);

        QVERIFY(window->openProjectFile(path));
        QCOMPARE(f->model.getParameterEditFlag(), ParameterEditFlagUnchanged);
        keyboard = viewOf<MidiKeyboardView>(*window, WindowRestorationInfo::KeyboardId);
        controller = viewOf<MidiControlChangeView>(*window, WindowRestorationInfo::ControlChangeId);
        program = viewOf<MidiProgramChangeView>(*window, WindowRestorationInfo::ProgramChangeId);
        pitchBend = viewOf<MidiPitchbendView>(*window, WindowRestorationInfo::PitchBendId);
        QVERIFY(keyboard && controller && program && pitchBend);
        QCOMPARE(settings(), (QVariantList{250, 5, 90, 2, QVariantList{64, 0}, 99, 3, true, false, bend, 100}));

        // Two monitor ticks: nothing was sent while the project opened.
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
