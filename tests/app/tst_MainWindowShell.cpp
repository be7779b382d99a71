#include "ShellTestSupport.h"

#include "app/MainWindowConstants.h"
#include "persistence/RegistryKeys.h"

#include <QtTest>

#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSettings>

namespace {

QMenu* menuNamed(MainWindow& window, const QString& title)
{
    for (QAction* action : window.menuBar()->actions()) {
        if (action->text() == title) {
            return action->menu();
        }
    }
    return nullptr;
}

QAction* actionNamed(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

QString storedValue(const QString& key)
{
    return QSettings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat).value(key).toString();
}

} // namespace

class tst_MainWindowShell : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { f.reset(); }

    void menusHoldTheirEntriesAndShortcuts_data();
    void menusHoldTheirEntriesAndShortcuts();
    void sendingWithNoOutputOpenFails();
    void groupTwoSendsOnEveryOpenOutput();
    void choosingAPortInTheMenuStoresItsName();
    void failedOpenIsReportedOnceAndLeavesNoAssign();
    void vanishedPortIsClosedWhenTheMenuShows();
    void storedPortNamesAreReopenedAtStart();
    void parametersAreWrittenWhenTheWindowGoes();
    void confirmationAsksYesNoCancel();
    void newRestoresTheDefaultLayoutFillingTheWorkspace();
    void closeAllAsksAndEmptiesTheArea();
    void closingTwiceStoresTheLayoutOnce();
    void quitClosesTheWindow();

private:
    void createWindow();

    std::unique_ptr<ShellFixture> f;
};

void tst_MainWindowShell::init()
{
    f = std::make_unique<ShellFixture>();
    createWindow();
}

void tst_MainWindowShell::createWindow()
{
    installStandInCreators(f->create());
}

void tst_MainWindowShell::menusHoldTheirEntriesAndShortcuts_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("shortcuts");
    QTest::newRow("File") << "&File"
                          << QStringList{"&New", "&Open...", "&Save", "Save &As...", "", "&Preferences...", "", "&Quit"}
                          << QStringList{"Ctrl+N", "Ctrl+O", "Ctrl+S", "Ctrl+Shift+S", "", "Ctrl+,", "", "Ctrl+Q"};
    QTest::newRow("Views") << "&Views"
                           << QStringList{"MIDI &In Monitor", "MIDI O&ut Monitor", "&Keyboard", "&Control Change",
                                          "&Program Change", "Pitch &Bend", "&System Exclusive", "&Timing Clock",
                                          "Sta&rt/Stop", "&Active Sensing", "Cust&om MIDI Message", "", "&Filter",
                                          "&MIDI Settings", "PC Keyboar&d"}
                           << QStringList{"Ctrl+I", "Ctrl+U", "Ctrl+K", "", "Ctrl+P", "Ctrl+B", "Ctrl+E", "Ctrl+T",
                                          "Ctrl+1", "Ctrl+J", "Ctrl+2", "", "Ctrl+L", "Ctrl+M", "Ctrl+D"};
    QTest::newRow("Window") << "&Window" << QStringList{"Close &All", "&Cascade", "&Tile"} << QStringList{"", "", ""};
    QTest::newRow("Help") << "&Help"
                          << QStringList{"&About", "&Open Source License", "&Software User License Agreement"}
                          << QStringList{"", "", ""};
}

void tst_MainWindowShell::menusHoldTheirEntriesAndShortcuts()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, shortcuts);
    QMenu* found = menuNamed(*f->window, menu);
    QVERIFY(found != nullptr);
    const QList<QAction*> actions = found->actions();
    QCOMPARE(actions.size(), entries.size());
    for (int i = 0; i < actions.size(); ++i) {
        QCOMPARE(actions.at(i)->text(), entries.at(i));
        QCOMPARE(actions.at(i)->shortcut().toString(), shortcuts.at(i));
        QVERIFY(!actions.at(i)->isCheckable());
    }
    if (menu == "&Views") {
        QMenu* controlChange = actions.at(3)->menu();
        QVERIFY(controlChange != nullptr);
        QCOMPARE(controlChange->actions().size(), 128);
        QCOMPARE(controlChange->actions().first()->text(), QString("000 Bank (MSB)"));
        QCOMPARE(controlChange->actions().at(74)->data().toInt(), 74);
        QCOMPARE(controlChange->actions().last()->text(), QString("127 Poly On"));
        int index = 0;
        for (QAction* action : actions) {
            if (!action->isSeparator()) {
                QCOMPARE(action->data().toInt(), index++);
            }
        }
    }
}

namespace {

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

} // namespace

void tst_MainWindowShell::sendingWithNoOutputOpenFails()
{
    const unsigned char noteOn[] = {0x90, 60, 100};
    QVERIFY(!f->window->transmitMidi(noteOn, 3, 1, OutputPortGroupBoth, false));
    QVERIFY(!f->window->transmitMidi(noteOn, 3, 1, OutputPortGroupFirst, true));
    QCOMPARE(f->service.sendCount(), 0);
    QVERIFY(transmittedLines(*f->window->getAnalyzer()).isEmpty());
}

void tst_MainWindowShell::groupTwoSendsOnEveryOpenOutput()
{
    QVERIFY(f->window->outputPortMenuSelected(OutputPortGroupSecond, 1));
    QCOMPARE(storedValue("PortName/OutputPortNameSecond"), QString("Loopback B"));
    f->model.setModelIntValue(MessageDetailParameterId, 1);
    const unsigned char noteOn[] = {0x90, 60, 100};
    QVERIFY(f->window->transmitMidi(noteOn, 3, 1, OutputPortGroupBoth, false));
    QCOMPARE(f->service.sendCount(), 1);
    const QStringList lines = transmittedLines(*f->window->getAnalyzer());
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.first().contains("Port2"), qPrintable(lines.first()));
    QVERIFY(!f->window->transmitMidi(noteOn, 3, 1, OutputPortGroupFirst, false));
    QVERIFY(transmittedLines(*f->window->getAnalyzer()).isEmpty());

    QVERIFY(f->window->outputPortMenuSelected(OutputPortGroupFirst, 0));
    QVERIFY(f->window->transmitMidi(noteOn, 3, 1, OutputPortGroupBoth, false));
    QCOMPARE(f->service.sendCount(), 3);
    const QStringList both = transmittedLines(*f->window->getAnalyzer());
    QCOMPARE(both.size(), 2);
    QVERIFY(both.at(0).contains("Port1"));
    QVERIFY(both.at(1).contains("Port2"));
}

void tst_MainWindowShell::choosingAPortInTheMenuStoresItsName()
{
    QMenu* inputs = menuNamed(*f->window, "&InputPort");
    emit inputs->aboutToShow();
    QCOMPARE(inputs->actions().size(), 3);
    QCOMPARE(inputs->actions().at(0)->text(), QString("No Assign"));
    QVERIFY(inputs->actions().at(0)->isChecked());

    actionNamed(inputs, "Loopback B")->trigger();
    QCOMPARE(f->model.getModelIntValue(InputPortIndexParameterId), 2);
    QCOMPARE(storedValue("PortName/InputPortName"), QString("Loopback B"));
    QCOMPARE(f->window->getCurrentInputPortIndex(InputPortGroupFirst), 2u);
    emit inputs->aboutToShow();
    QVERIFY(actionNamed(inputs, "Loopback B")->isChecked());

    actionNamed(inputs, "No Assign")->trigger();
    QCOMPARE(f->model.getModelIntValue(InputPortIndexParameterId), 0);
    QCOMPARE(storedValue("PortName/InputPortName"), QString("No Assign"));
    QCOMPARE(f->window->getCurrentInputPortIndex(InputPortGroupFirst), 0u);

    QMenu* outputs = menuNamed(*f->window, "&OutputPort");
    emit outputs->aboutToShow();
    actionNamed(outputs, "Loopback A")->trigger();
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
    QMenu* inputs = menuNamed(*f->window, "&InputPort");
    emit inputs->aboutToShow();
    QVERIFY(inputs->actions().at(0)->isChecked());
    QCOMPARE(f->boxes.texts.size(), 1);
}

void tst_MainWindowShell::vanishedPortIsClosedWhenTheMenuShows()
{
    const MidiEndpointRef extra = f->service.addDestination("Synth");
    QMenu* outputs = menuNamed(*f->window, "&OutputPort");
    emit outputs->aboutToShow();
    actionNamed(outputs, "Synth")->trigger();
    QCOMPARE(f->window->getCurrentOutputPortIndex(OutputPortGroupFirst), 3u);
    QCOMPARE(f->model.getModelIntValue(OutputPortIndexParameterId), 3);
    QVERIFY(f->service.removeEndpoint(extra));
    emit outputs->aboutToShow();
    QCOMPARE(outputs->actions().size(), 3);
    QVERIFY(outputs->actions().at(0)->isChecked());
    const unsigned char noteOn[] = {0x90, 60, 100};
    QVERIFY(!f->window->transmitMidi(noteOn, 3, 1, OutputPortGroupFirst, true));
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

void tst_MainWindowShell::parametersAreWrittenWhenTheWindowGoes()
{
    f->model.setModelIntValue(MessageDetailParameterId, 1);
    f->model.setModelIntValue(BulkIntervalParameterId, 120);
    f->model.setModelIntValue(SystemRealtimeFilterParameterId + 4, 1);
    QVERIFY(!QSettings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat).contains("Preferences/MessageDetail"));
    f->window.reset();
    QSettings settings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat);
    QCOMPARE(settings.value("Preferences/MessageDetail").toInt(), 1);
    QCOMPARE(settings.value("MidiThru/BulkInterval").toInt(), 120);
    QCOMPARE(settings.value("MidiFilter/(FE) Active Sensing").toInt(), 1);
    QVERIFY(!settings.contains("MidiFilter/Control Change"));
}

void tst_MainWindowShell::confirmationAsksYesNoCancel()
{
    f->boxes.setAnswer(QMessageBox::Cancel);
    QCOMPARE(f->window->showConfirmationMessageBox(), QMessageBox::Cancel);
    QCOMPARE(f->boxes.texts, QStringList{"Do you want to save changes?"});
    QCOMPARE(f->boxes.titles, QStringList{"Tulvar MIDI"});
    QCOMPARE(f->boxes.icons.value(0), QMessageBox::Question);
    QCOMPARE(f->boxes.buttons.value(0), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
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
    f->boxes.setAnswer(QMessageBox::No);  // the keyboard's creation is unsaved work
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

void tst_MainWindowShell::closeAllAsksAndEmptiesTheArea()
{
    f->window->show();
    f->model.setProjectFilePath("/home/user/song.tulvarmidi");
    f->model.setParameterEditFlag(ParameterEditFlagChanged);
    QMenu* windowMenu = menuNamed(*f->window, "&Window");
    f->boxes.setAnswer(QMessageBox::No);
    actionNamed(windowMenu, "Close &All")->trigger();
    QCOMPARE(f->boxes.texts, QStringList{"Do you want to save changes?"});
    QTRY_VERIFY(f->window->getMdiArea()->subWindowList().isEmpty());
    QCOMPARE(f->model.getProjectFilePath(), QString());
    QCOMPARE(f->window->windowTitle(), QString("Tulvar MIDI"));
}

void tst_MainWindowShell::closingTwiceStoresTheLayoutOnce()
{
    f->window->show();
    f->model.setParameterEditFlag(ParameterEditFlagChanged);
    f->boxes.setAnswer(QMessageBox::Cancel);
    QVERIFY(!f->window->close());
    QVERIFY(f->window->isVisible());
    QVERIFY(!QSettings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat).childGroups().contains("SavePosition"));

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

void tst_MainWindowShell::quitClosesTheWindow()
{
    f->window->show();
    QAction* quit = actionNamed(menuNamed(*f->window, "&File"), "&Quit");
    QVERIFY(quit != nullptr);
    QCOMPARE(quit->shortcut(), QKeySequence("Ctrl+Q"));
    quit->trigger();
    QVERIFY(!f->window->isVisible());
    QVERIFY(QSettings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat).childGroups().contains("SavePosition"));
}

QTEST_MAIN(tst_MainWindowShell)
#include "tst_MainWindowShell.moc"
