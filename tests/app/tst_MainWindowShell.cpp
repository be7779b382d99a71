// The main window's transmit path, ports and closing, and the views wired through it; over the
// Loopback service, where "Loopback A" loops from output to input.

#include "ShellTestSupport.h"

#include "model/TulvarMidiParameters.h"
#include "views/MidiControlChangeView.h"
#include "views/MidiEditGeneralView.h"
#include "views/MidiEditTextView.h"
#include "views/MidiEditView.h"
#include "views/MidiTimingClockGeneratorView.h"
#include "widgets/Dial.h"
#include "widgets/MidiLedCombinedDial.h"
#include "widgets/MidiTimingClockPlayStopButton.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int Timeout = 10000;
const unsigned char NoteOn[] = {0x90, 60, 100};

QString storedValue(const QString& key)
{
    return QSettings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat).value(key).toString();
}

int storedLayoutEntries()
{
    const QStringList keys = QSettings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat).allKeys();
    return keys.filter(QStringLiteral("SavePosition/")).size();
}

QString plainText(MidiEditView* view)
{
    return view->generalView()->textView()->toPlainText();
}

} // namespace

class tst_MainWindowShell : public QObject {
    Q_OBJECT

private slots:
    // Shown with its first layout, the monitors listing each message on one line.
    void init()
    {
        f = std::make_unique<ShellFixture>();
        f->show();
        f->model.setModelIntValue(MessageDetailParameterId, 1);
        m_in = viewOf<MidiEditView>(*f->window, WindowRestorationInfo::MidiInMonitorId);
        m_out = viewOf<MidiEditView>(*f->window, WindowRestorationInfo::MidiOutMonitorId);
        QVERIFY(m_in != nullptr && m_out != nullptr);
    }
    void cleanup() { f.reset(); }

    // Nothing goes out while no output is open; group Both sends on every open one, each send is one
    // Out-monitor line, and an exclusive is followed by the bulk interval's pause.
    void messagesGoOutOnEveryOpenOutputOfTheirGroup()
    {
        QVERIFY(!f->window->transmitMidi(NoteOn, 3, 1, OutputPortGroupBoth, false));
        QVERIFY(!f->window->transmitMidi(NoteOn, 3, 1, OutputPortGroupFirst, true));

        QVERIFY(f->window->outputPortMenuSelected(OutputPortGroupSecond, 1));
        QVERIFY(f->window->transmitMidi(NoteOn, 3, 1, OutputPortGroupBoth, false));
        QVERIFY(!f->window->transmitMidi(NoteOn, 3, 1, OutputPortGroupFirst, false));
        QVERIFY(f->window->outputPortMenuSelected(OutputPortGroupFirst, 0));
        QVERIFY(f->window->transmitMidi(NoteOn, 3, 1, OutputPortGroupBoth, false));
        QCOMPARE(f->service.sendCount(), 3);
        QTRY_COMPARE_WITH_TIMEOUT(plainText(m_out).split('\n').size(), 3, Timeout);
        QStringList ports;
        for (const QString& line : plainText(m_out).split('\n')) {
            ports << line.left(5);
        }
        QCOMPARE(ports, (QStringList{"Port2", "Port1", "Port2"}));

        const unsigned char exclusive[] = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
        f->model.setModelIntValue(BulkIntervalParameterId, 100);
        QElapsedTimer sending;
        sending.start();
        QVERIFY(f->window->transmitMidi(exclusive, 6, 7, OutputPortGroupFirst, false));
        // The pause is counted in whole milliseconds, so it may end just short of the last one.
        QVERIFY(sending.elapsed() >= 99);
    }

    // A choice is stored by name at once and reopened at the next start, where an absent device reads
    // as No Assign and its name is not rewritten. A failed open is reported once and leaves No Assign;
    // a port that vanished is closed when its menu shows.
    void portChoicesAreStoredByNameReopenedAtStartAndClosedWhenGone()
    {
        QCOMPARE(checkedPort("&InputPort"), QString("No Assign"));
        menuEntry(*f->window, "&InputPort", "Loopback B")->trigger();
        QCOMPARE(f->model.getModelIntValue(InputPortIndexParameterId), 2);
        QCOMPARE(checkedPort("&InputPort"), QString("Loopback B"));
        QCOMPARE(storedValue("PortName/InputPortName"), QString("Loopback B"));
        checkedPort("&OutputPort");
        menuEntry(*f->window, "&OutputPort", "Loopback A")->trigger();
        QCOMPARE(storedValue("PortName/OutputPortName"), QString("Loopback A"));

        f->window.reset();
        QSettings settings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat);
        settings.setValue("PortName/InputPortNameSecond", "Absent Device");
        settings.sync();
        // A new start, with nothing changed yet.
        f->model.setParameterEditFlag(ParameterEditFlagUnchanged);
        f->create();
        QList<int> indexes;
        for (int id : {InputPortIndexParameterId, InputPortIndexSecondParameterId, OutputPortIndexParameterId,
                       OutputPortIndexSecondParameterId}) {
            indexes << f->model.getModelIntValue(id);
        }
        QCOMPARE(indexes, (QList<int>{2, 0, 1, 0}));
        QCOMPARE(f->window->getCurrentInputPortIndex(InputPortGroupFirst), 2u);
        QCOMPARE(f->window->getCurrentInputPortIndex(InputPortGroupSecond), 0u);
        QCOMPARE(f->model.getParameterEditFlag(), ParameterEditFlagUnchanged);
        QCOMPARE(storedValue("PortName/InputPortNameSecond"), QString("Absent Device"));

        menuEntry(*f->window, "&InputPort", "No Assign")->trigger();
        QCOMPARE(f->window->getCurrentInputPortIndex(InputPortGroupFirst), 0u);
        QCOMPARE(storedValue("PortName/InputPortName"), QString("No Assign"));
        f->service.setConnectFails(true);
        QVERIFY(!f->window->inputPortMenuSelected(InputPortGroupSecond, 0));
        QCOMPARE(f->boxes.texts, QStringList{"Port open failed."});
        QCOMPARE(f->boxes.titles, QStringList{"Tulvar MIDI"});
        QCOMPARE(f->boxes.icons.value(0), QMessageBox::Critical);
        QCOMPARE(storedValue("PortName/InputPortNameSecond"), QString("No Assign"));
        f->service.setConnectFails(false);

        const MidiEndpointRef synth = f->service.addDestination("Synth");
        checkedPort("&OutputPort");
        menuEntry(*f->window, "&OutputPort", "Synth")->trigger();
        QVERIFY(f->service.removeEndpoint(synth));
        QCOMPARE(checkedPort("&OutputPort"), QString("No Assign"));
        QVERIFY(!f->window->transmitMidi(NoteOn, 3, 1, OutputPortGroupFirst, true));
    }

    // Cancel stores nothing; a second accepted close leaves the stored layout alone.
    void closingTwiceStoresTheLayoutOnce()
    {
        f->model.setParameterEditFlag(ParameterEditFlagChanged);
        f->boxes.setAnswer(QMessageBox::Cancel);
        QVERIFY(!f->window->close());
        QCOMPARE(storedLayoutEntries(), 0);

        f->boxes.setAnswer(QMessageBox::No);
        QVERIFY(f->window->close());
        QCOMPARE(storedLayoutEntries(), 4);
        f->window->show();
        f->window->subWindows().openSubWindow({WindowRestorationInfo::KeyboardId});
        QVERIFY(f->window->close());
        QCOMPARE(storedLayoutEntries(), 4);
    }

    // The identity request goes out, comes back through the In monitor into a receiving editor; the
    // clock's own ticks come back as its received tempo.
    void loopedBackMessagesReachTheInMonitorTheReceiverAndTheClock()
    {
        QVERIFY(loopBack());
        auto* receiver = qobject_cast<MidiEditView*>(
            f->window->createMidiEditView(WindowRestorationInfo::MidiMessageEditorId, true, QSize(), QString())
                ->widget());
        auto* editor = qobject_cast<MidiEditView*>(
            f->window->createMidiEditView(WindowRestorationInfo::MidiMessageEditorId, false, QSize(), QString())
                ->widget());
        editor->generalView()->setText(QStringLiteral("F0 7E 7F 06 01 F7 // identity"));
        editor->generalView()->transmitMenuSelected();
        QTRY_COMPARE_WITH_TIMEOUT(plainText(m_in), QStringLiteral("Port1 SysEx    F0 7E 7F 06 01 F7"), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(plainText(receiver), QStringLiteral("F0 7E 7F 06 01 F7"), Timeout);

        menuEntry(*f->window, QStringLiteral("&Views"), QStringLiteral("&Timing Clock"))->trigger();
        auto* clock = viewOf<MidiTimingClockGeneratorView>(*f->window, WindowRestorationInfo::TimingClockId);
        QCOMPARE(clock->receivedTempoLabel()->text(), QStringLiteral("--- BPM"));
        clock->tempoKnob()->setValue(120);
        clock->playButton()->setChecked(true);
        QTRY_COMPARE_WITH_TIMEOUT(clock->receivedTempoLabel()->text(), QStringLiteral("120 BPM"), Timeout);
    }

    // A view that sends when a control moves sends nothing while a project sets its controls.
    void projectBringsBackViewSettingsWithoutSending()
    {
        QVERIFY(loopBack());
        f->window->subWindows().openSubWindow({WindowRestorationInfo::ControlChangeId});
        viewOf<MidiControlChangeView>(*f->window, WindowRestorationInfo::ControlChangeId)->valueDial()->setValue(99);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("play.tulvarmidi"));
        QVERIFY(f->window->saveProjectFile(path));
        QTRY_VERIFY_WITH_TIMEOUT(!plainText(m_out).isEmpty(), Timeout);

        QVERIFY(f->window->openProjectFile(path));
        auto* controller = viewOf<MidiControlChangeView>(*f->window, WindowRestorationInfo::ControlChangeId);
        QCOMPARE(controller->valueDial()->value(), 99);
        // Two monitor ticks.
        m_out = viewOf<MidiEditView>(*f->window, WindowRestorationInfo::MidiOutMonitorId);
        QTest::qWait(300);
        QCOMPARE(plainText(m_out), QString());
    }

private:
    // The checked entry of a port menu, as the menu shows it.
    QString checkedPort(const char* title)
    {
        QMenu* menu = menuEntry(*f->window, title)->menu();
        emit menu->aboutToShow();
        for (QAction* action : menu->actions()) {
            if (action->isChecked()) {
                return action->text();
            }
        }
        return QString();
    }

    // "Loopback A" chosen as first input and output.
    bool loopBack()
    {
        return f->window->inputPortMenuSelected(InputPortGroupFirst, 0)
            && f->window->outputPortMenuSelected(OutputPortGroupFirst, 0);
    }

    std::unique_ptr<ShellFixture> f;
    MidiEditView* m_in = nullptr;
    MidiEditView* m_out = nullptr;
};

QTEST_MAIN(tst_MainWindowShell)
#include "tst_MainWindowShell.moc"
