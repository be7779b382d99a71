#include "ShellTestSupport.h"

#include <QtTest>

#include <QElapsedTimer>
#include <QSettings>

namespace {

QString storedValue(const QString& key)
{
    return QSettings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat).value(key).toString();
}

int storedLayoutEntries()
{
    QSettings settings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("SavePosition"));
    return settings.childKeys().size();
}

// The Out-monitor lines the analyzer holds, taken out of it.
QStringList transmittedLines(MidiAnalyzer& analyzer)
{
    QByteArray received;
    QByteArray systemExclusive;
    QByteArray transmitted;
    std::uint32_t receivedCount = 0;
    std::uint32_t systemExclusiveCount = 0;
    std::uint32_t transmittedCount = 0;
    analyzer.getMidiData(received, receivedCount, systemExclusive, systemExclusiveCount, transmitted, transmittedCount);
    return QString::fromUtf8(transmitted.constData()).split('\n', Qt::SkipEmptyParts);
}

const unsigned char NoteOn[] = {0x90, 60, 100};

} // namespace

// The main window's own menus, ports and closing; the tool windows are the sub-window tests'.
class tst_MainWindowShell : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        f = std::make_unique<ShellFixture>();
        f->create();
    }
    void cleanup() { f.reset(); }

    // Nothing goes out while no output is open; group Both sends on every open one, and an exclusive
    // is followed by the bulk interval's pause.
    void messagesGoOutOnEveryOpenOutputOfTheirGroup()
    {
        QVERIFY(!f->window->transmitMidi(NoteOn, 3, 1, OutputPortGroupBoth, false));
        QVERIFY(!f->window->transmitMidi(NoteOn, 3, 1, OutputPortGroupFirst, true));
        QCOMPARE(f->service.sendCount(), 0);
        QVERIFY(transmittedLines(*f->window->getAnalyzer()).isEmpty());

        QVERIFY(f->window->outputPortMenuSelected(OutputPortGroupSecond, 1));
        QCOMPARE(storedValue("PortName/OutputPortNameSecond"), QString("Loopback B"));
        f->model.setModelIntValue(MessageDetailParameterId, 1);
        QVERIFY(f->window->transmitMidi(NoteOn, 3, 1, OutputPortGroupBoth, false));
        QCOMPARE(f->service.sendCount(), 1);
        const QStringList lines = transmittedLines(*f->window->getAnalyzer());
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().contains("Port2"), qPrintable(lines.first()));
        QVERIFY(!f->window->transmitMidi(NoteOn, 3, 1, OutputPortGroupFirst, false));
        QVERIFY(transmittedLines(*f->window->getAnalyzer()).isEmpty());

        QVERIFY(f->window->outputPortMenuSelected(OutputPortGroupFirst, 0));
        QVERIFY(f->window->transmitMidi(NoteOn, 3, 1, OutputPortGroupBoth, false));
        QCOMPARE(f->service.sendCount(), 3);
        const QStringList both = transmittedLines(*f->window->getAnalyzer());
        QCOMPARE(both.size(), 2);
        QVERIFY(both.at(0).contains("Port1"));
        QVERIFY(both.at(1).contains("Port2"));

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
        f->window->show();
        f->model.setParameterEditFlag(ParameterEditFlagChanged);
        f->boxes.setAnswer(QMessageBox::Cancel);
        QVERIFY(!f->window->close());
        QVERIFY(f->window->isVisible());
        QCOMPARE(storedLayoutEntries(), 0);

        f->boxes.setAnswer(QMessageBox::No);
        QVERIFY(f->window->close());
        QCOMPARE(f->boxes.texts.size(), 2);
        QCOMPARE(storedLayoutEntries(), 4);
        f->window->show();
        f->window->subWindows().openSubWindow({WindowRestorationInfo::KeyboardId});
        QVERIFY(f->window->close());
        QCOMPARE(storedLayoutEntries(), 4);
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

    std::unique_ptr<ShellFixture> f;
};

QTEST_MAIN(tst_MainWindowShell)
#include "tst_MainWindowShell.moc"
