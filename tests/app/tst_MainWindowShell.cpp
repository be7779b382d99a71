#include "ShellTestSupport.h"

#include "app/MainWindowConstants.h"

#include <QtTest>

#include <QScrollBar>
#include <QSettings>

namespace {

QString storedValue(const QString& key)
{
    return QSettings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat).value(key).toString();
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
    void init();
    void cleanup() { f.reset(); }

    void fileAndWindowMenusHoldTheirEntries();
    void sendingWithNoOutputOpenFails();
    void groupTwoSendsOnEveryOpenOutput();
    void choosingAPortInTheMenuStoresItsName();
    void failedOpenIsReportedOnceAndLeavesNoAssign();
    void vanishedPortIsClosedWhenTheMenuShows();
    void storedPortNamesAreReopenedAtStart();
    void newRestoresTheDefaultLayoutFillingTheWorkspace();
    void closingTwiceStoresTheLayoutOnce();

private:
    void createWindow() { installStandInCreators(f->create()); }
    QMenu* portMenu(const char* title)
    {
        QMenu* menu = menuEntry(*f->window, title)->menu();
        emit menu->aboutToShow();
        return menu;
    }

    std::unique_ptr<ShellFixture> f;
};

void tst_MainWindowShell::init()
{
    f = std::make_unique<ShellFixture>();
    createWindow();
}

void tst_MainWindowShell::fileAndWindowMenusHoldTheirEntries()
{
    QStringList entries;
    for (const char* menu : {"&File", "&Window"}) {
        for (QAction* action : menuEntry(*f->window, menu)->menu()->actions()) {
            entries << action->text() + ' ' + action->shortcut().toString();
        }
    }
    QCOMPARE(entries,
             (QStringList{"&New Ctrl+N", "&Open... Ctrl+O", "&Save Ctrl+S", "Save &As... Ctrl+Shift+S", " ",
                          "&Preferences... Ctrl+,", " ", "&Quit Ctrl+Q", "Close &All ", "&Cascade ", "&Tile "}));
}

void tst_MainWindowShell::sendingWithNoOutputOpenFails()
{
    QVERIFY(!f->window->transmitMidi(NoteOn, 3, 1, OutputPortGroupBoth, false));
    QVERIFY(!f->window->transmitMidi(NoteOn, 3, 1, OutputPortGroupFirst, true));
    QCOMPARE(f->service.sendCount(), 0);
    QVERIFY(transmittedLines(*f->window->getAnalyzer()).isEmpty());
}

void tst_MainWindowShell::groupTwoSendsOnEveryOpenOutput()
{
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
}

void tst_MainWindowShell::choosingAPortInTheMenuStoresItsName()
{
    QMenu* inputs = portMenu("&InputPort");
    QCOMPARE(inputs->actions().size(), 3);
    QCOMPARE(inputs->actions().at(0)->text(), QString("No Assign"));
    QVERIFY(inputs->actions().at(0)->isChecked());

    menuEntry(*f->window, "&InputPort", "Loopback B")->trigger();
    QCOMPARE(f->model.getModelIntValue(InputPortIndexParameterId), 2);
    QCOMPARE(storedValue("PortName/InputPortName"), QString("Loopback B"));
    QVERIFY(portMenu("&InputPort")->actions().at(2)->isChecked());

    menuEntry(*f->window, "&InputPort", "No Assign")->trigger();
    QCOMPARE(f->model.getModelIntValue(InputPortIndexParameterId), 0);
    QCOMPARE(storedValue("PortName/InputPortName"), QString("No Assign"));
    QCOMPARE(f->window->getCurrentInputPortIndex(InputPortGroupFirst), 0u);

    portMenu("&OutputPort");
    menuEntry(*f->window, "&OutputPort", "Loopback A")->trigger();
    QCOMPARE(f->model.getModelIntValue(OutputPortIndexParameterId), 1);
    QCOMPARE(storedValue("PortName/OutputPortName"), QString("Loopback A"));
}

void tst_MainWindowShell::failedOpenIsReportedOnceAndLeavesNoAssign()
{
    f->service.setConnectFails(true);
    QVERIFY(!f->window->inputPortMenuSelected(InputPortGroupFirst, 0));
    QCOMPARE(f->boxes.texts, QStringList{"Port open failed."});
    QCOMPARE(f->boxes.titles, QStringList{"Tulvar MIDI"});
    QCOMPARE(f->boxes.icons.value(0), QMessageBox::Critical);
    QCOMPARE(storedValue("PortName/InputPortName"), QString("No Assign"));
    QVERIFY(portMenu("&InputPort")->actions().at(0)->isChecked());
    QCOMPARE(f->boxes.texts.size(), 1);
}

void tst_MainWindowShell::vanishedPortIsClosedWhenTheMenuShows()
{
    const MidiEndpointRef extra = f->service.addDestination("Synth");
    portMenu("&OutputPort");
    menuEntry(*f->window, "&OutputPort", "Synth")->trigger();
    QCOMPARE(f->window->getCurrentOutputPortIndex(OutputPortGroupFirst), 3u);
    QCOMPARE(f->model.getModelIntValue(OutputPortIndexParameterId), 3);
    QVERIFY(f->service.removeEndpoint(extra));
    QMenu* outputs = portMenu("&OutputPort");
    QCOMPARE(outputs->actions().size(), 3);
    QVERIFY(outputs->actions().at(0)->isChecked());
    QVERIFY(!f->window->transmitMidi(NoteOn, 3, 1, OutputPortGroupFirst, true));
}

void tst_MainWindowShell::storedPortNamesAreReopenedAtStart()
{
    f->window.reset();
    QSettings settings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat);
    settings.setValue("PortName/InputPortName", "Loopback B");
    settings.setValue("PortName/InputPortNameSecond", "Absent Device");
    settings.setValue("PortName/OutputPortName", "Loopback A");
    settings.setValue("PortName/OutputPortNameSecond", "No Assign");
    settings.sync();
    createWindow();
    QCOMPARE(f->model.getModelIntValue(InputPortIndexParameterId), 2);
    QCOMPARE(f->model.getModelIntValue(InputPortIndexSecondParameterId), 0);
    QCOMPARE(f->model.getModelIntValue(OutputPortIndexParameterId), 1);
    QCOMPARE(f->model.getModelIntValue(OutputPortIndexSecondParameterId), 0);
    QCOMPARE(f->window->getCurrentInputPortIndex(InputPortGroupSecond), 0u);
    QCOMPARE(f->model.getParameterEditFlag(), ParameterEditFlagUnchanged);
    // Reading does not rewrite what it read.
    QCOMPARE(storedValue("PortName/InputPortNameSecond"), QString("Absent Device"));
}

// The questions New asks are the unsaved-work flows' test; here what New builds. The workspace
// is sized to hold the default layout exactly, menu bar and frames added as measured.
void tst_MainWindowShell::newRestoresTheDefaultLayoutFillingTheWorkspace()
{
    f->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f->window.get()));
    QMdiArea* area = f->window->getMdiArea();
    QTRY_COMPARE(area->viewport()->size(), DefaultWorkspaceSize);
    QCOMPARE(area->subWindowList().size(), 3);

    f->window->subWindows().openSubWindow({WindowRestorationInfo::KeyboardId});
    f->model.setProjectFilePath("/home/user/song.tulvarmidi");
    f->window->resize(300, 200);
    f->boxes.setAnswer(QMessageBox::No);
    f->window->newFile();
    QTRY_COMPARE(area->subWindowList().size(), 3);
    QVERIFY(subWindowsOfKind(*f->window, WindowRestorationInfo::KeyboardId).isEmpty());
    QCOMPARE(f->window->windowTitle(), QString("Tulvar MIDI"));
    QCOMPARE(f->model.getProjectFilePath(), QString());
    QTRY_COMPARE(area->viewport()->size(), DefaultWorkspaceSize);
    QRect covered;
    for (QMdiSubWindow* subWindow : area->subWindowList()) {
        covered |= subWindow->geometry();
    }
    QCOMPARE(covered, QRect(QPoint(0, 0), DefaultWorkspaceSize));
    QVERIFY(!area->horizontalScrollBar()->isVisible());
    QVERIFY(!area->verticalScrollBar()->isVisible());
}

void tst_MainWindowShell::closingTwiceStoresTheLayoutOnce()
{
    f->window->show();
    f->model.setParameterEditFlag(ParameterEditFlagChanged);
    f->boxes.setAnswer(QMessageBox::Cancel);
    QVERIFY(!f->window->close());
    QVERIFY(f->window->isVisible());
    QVERIFY(
        !QSettings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat).childGroups().contains("SavePosition"));

    f->boxes.setAnswer(QMessageBox::No);
    QVERIFY(f->window->close());
    QCOMPARE(f->boxes.texts.size(), 2);
    QSettings settings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat);
    settings.beginGroup("SavePosition");
    QCOMPARE(settings.childKeys().size(), 4);
    settings.endGroup();

    // A second accepted close leaves the stored layout alone.
    f->window->show();
    f->window->subWindows().openSubWindow({WindowRestorationInfo::KeyboardId});
    QVERIFY(f->window->close());
    settings.sync();
    settings.beginGroup("SavePosition");
    QCOMPARE(settings.childKeys().size(), 4);
}

QTEST_MAIN(tst_MainWindowShell)
#include "tst_MainWindowShell.moc"
