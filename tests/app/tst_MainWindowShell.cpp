#include "ShellTestSupport.h"

#include "app/MainWindowConstants.h"
#include "persistence/RegistryKeys.h"
#include "views/MidiEditGeneralView.h"
#include "views/MidiEditTextView.h"
#include "views/MidiEditView.h"

#include <QtTest>

#include <QMenu>
#include <QMenuBar>
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
    void cleanup();

    void menusHoldTheirEntriesAndShortcuts_data();
    void menusHoldTheirEntriesAndShortcuts();
    void sendingWithNoOutputOpenFails();
    void groupTwoSendsOnEveryOpenOutput();
    void timerFeedsTheMonitors();
    void choosingAPortInTheMenuStoresItsName();
    void failedOpenIsReportedOnceAndLeavesNoAssign();
    void vanishedPortIsClosedWhenTheMenuShows();
    void storedPortNamesAreReopenedAtStart();
    void parametersAreWrittenWhenTheWindowGoes();
    void titleShowsProjectNameAndEditFlag();
    void confirmationAsksYesNoCancel();
    void newAsksFirstAndCancelKeepsEverything();
    void closeAllAsksAndEmptiesTheArea();
    void closingTwiceStoresTheLayoutOnce();
    void quitClosesTheWindow();

private:
    void createWindow();

    std::unique_ptr<TulvarMidiModel> m_model;
    std::unique_ptr<LoopbackMidiService> m_service;
    std::unique_ptr<MainWindow> m_window;
    // Answers every message box, so that an unexpected one fails the test instead of hanging it.
    std::unique_ptr<MessageBoxAnswerer> m_boxes;
};

void tst_MainWindowShell::init()
{
    m_boxes = std::make_unique<MessageBoxAnswerer>();
    removeSettingsFile();
    m_model = std::make_unique<TulvarMidiModel>();
    m_service = std::make_unique<LoopbackMidiService>();
    createWindow();
}

void tst_MainWindowShell::cleanup()
{
    m_window.reset();
    m_service.reset();
    m_model.reset();
    m_boxes.reset();
    removeSettingsFile();
}

void tst_MainWindowShell::createWindow()
{
    m_window.reset();
    m_window = std::make_unique<MainWindow>(nullptr, m_model.get(), *m_service);
    installStandInCreators(*m_window);
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
    QMenu* found = menuNamed(*m_window, menu);
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
    QVERIFY(!m_window->transmitMidi(noteOn, 3, 1, OutputPortGroupBoth, false));
    QVERIFY(!m_window->transmitMidi(noteOn, 3, 1, OutputPortGroupFirst, true));
    QCOMPARE(m_service->sendCount(), 0);
    QVERIFY(transmittedLines(*m_window->getAnalyzer()).isEmpty());
}

void tst_MainWindowShell::groupTwoSendsOnEveryOpenOutput()
{
    QVERIFY(m_window->outputPortMenuSelected(OutputPortGroupSecond, 1));
    QCOMPARE(storedValue("PortName/OutputPortNameSecond"), QString("Loopback B"));
    m_model->setModelIntValue(MessageDetailParameterId, 1);
    const unsigned char noteOn[] = {0x90, 60, 100};
    QVERIFY(m_window->transmitMidi(noteOn, 3, 1, OutputPortGroupBoth, false));
    QCOMPARE(m_service->sendCount(), 1);
    const QStringList lines = transmittedLines(*m_window->getAnalyzer());
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.first().contains("Port2"), qPrintable(lines.first()));
    QVERIFY(!m_window->transmitMidi(noteOn, 3, 1, OutputPortGroupFirst, false));
    QVERIFY(transmittedLines(*m_window->getAnalyzer()).isEmpty());

    QVERIFY(m_window->outputPortMenuSelected(OutputPortGroupFirst, 0));
    QVERIFY(m_window->transmitMidi(noteOn, 3, 1, OutputPortGroupBoth, false));
    QCOMPARE(m_service->sendCount(), 3);
    const QStringList both = transmittedLines(*m_window->getAnalyzer());
    QCOMPARE(both.size(), 2);
    QVERIFY(both.at(0).contains("Port1"));
    QVERIFY(both.at(1).contains("Port2"));
}

void tst_MainWindowShell::timerFeedsTheMonitors()
{
    m_window->show();
    auto* inMonitor = qobject_cast<MidiEditView*>(subWindowsOfKind(*m_window, 1).value(0)->widget());
    auto* outMonitor = qobject_cast<MidiEditView*>(subWindowsOfKind(*m_window, 2).value(0)->widget());
    QVERIFY(inMonitor != nullptr && outMonitor != nullptr);
    QVERIFY(m_window->inputPortMenuSelected(InputPortGroupFirst, 0));
    QVERIFY(m_window->outputPortMenuSelected(OutputPortGroupFirst, 0));
    const unsigned char noteOn[] = {0x90, 60, 100};
    QVERIFY(m_window->transmitMidi(noteOn, 3, 1, OutputPortGroupBoth, false));
    // Sent to "Loopback A", it comes back on "Loopback A".
    QTRY_VERIFY_WITH_TIMEOUT(outMonitor->generalView()->textView()->toPlainText().contains("90 3C 64"), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(inMonitor->generalView()->textView()->toPlainText().contains("90 3C 64"), 10000);
}

void tst_MainWindowShell::choosingAPortInTheMenuStoresItsName()
{
    QMenu* inputs = menuNamed(*m_window, "&InputPort");
    emit inputs->aboutToShow();
    QCOMPARE(inputs->actions().size(), 3);
    QCOMPARE(inputs->actions().at(0)->text(), QString("No Assign"));
    QVERIFY(inputs->actions().at(0)->isChecked());

    actionNamed(inputs, "Loopback B")->trigger();
    QCOMPARE(m_model->getModelIntValue(InputPortIndexParameterId), 2);
    QCOMPARE(storedValue("PortName/InputPortName"), QString("Loopback B"));
    QCOMPARE(m_window->getCurrentInputPortIndex(InputPortGroupFirst), 2u);
    emit inputs->aboutToShow();
    QVERIFY(actionNamed(inputs, "Loopback B")->isChecked());

    actionNamed(inputs, "No Assign")->trigger();
    QCOMPARE(m_model->getModelIntValue(InputPortIndexParameterId), 0);
    QCOMPARE(storedValue("PortName/InputPortName"), QString("No Assign"));
    QCOMPARE(m_window->getCurrentInputPortIndex(InputPortGroupFirst), 0u);

    QMenu* outputs = menuNamed(*m_window, "&OutputPort");
    emit outputs->aboutToShow();
    actionNamed(outputs, "Loopback A")->trigger();
    QCOMPARE(m_model->getModelIntValue(OutputPortIndexParameterId), 1);
    QCOMPARE(storedValue("PortName/OutputPortName"), QString("Loopback A"));
}

void tst_MainWindowShell::failedOpenIsReportedOnceAndLeavesNoAssign()
{
    m_service->setConnectFails(true);
    QVERIFY(!m_window->inputPortMenuSelected(InputPortGroupFirst, 0));
    QCOMPARE(m_boxes->texts, QStringList{"Port open failed."});
    QCOMPARE(m_boxes->titles, QStringList{"Tulvar MIDI"});
    QCOMPARE(m_boxes->icons.value(0), QMessageBox::Critical);
    QCOMPARE(storedValue("PortName/InputPortName"), QString("No Assign"));
    QMenu* inputs = menuNamed(*m_window, "&InputPort");
    emit inputs->aboutToShow();
    QVERIFY(inputs->actions().at(0)->isChecked());
    QCOMPARE(m_boxes->texts.size(), 1);
}

void tst_MainWindowShell::vanishedPortIsClosedWhenTheMenuShows()
{
    const MidiEndpointRef extra = m_service->addDestination("Synth");
    QMenu* outputs = menuNamed(*m_window, "&OutputPort");
    emit outputs->aboutToShow();
    actionNamed(outputs, "Synth")->trigger();
    QCOMPARE(m_window->getCurrentOutputPortIndex(OutputPortGroupFirst), 3u);
    QCOMPARE(m_model->getModelIntValue(OutputPortIndexParameterId), 3);
    QVERIFY(m_service->removeEndpoint(extra));
    emit outputs->aboutToShow();
    QCOMPARE(outputs->actions().size(), 3);
    QVERIFY(outputs->actions().at(0)->isChecked());
    const unsigned char noteOn[] = {0x90, 60, 100};
    QVERIFY(!m_window->transmitMidi(noteOn, 3, 1, OutputPortGroupFirst, true));
}

void tst_MainWindowShell::storedPortNamesAreReopenedAtStart()
{
    m_window.reset();
    QSettings settings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat);
    settings.setValue("PortName/InputPortName", "Loopback B");
    settings.setValue("PortName/InputPortNameSecond", "Absent Device");
    settings.setValue("PortName/OutputPortName", "Loopback A");
    settings.setValue("PortName/OutputPortNameSecond", "No Assign");
    settings.sync();
    createWindow();
    QCOMPARE(m_model->getModelIntValue(InputPortIndexParameterId), 2);
    QCOMPARE(m_model->getModelIntValue(InputPortIndexSecondParameterId), 0);
    QCOMPARE(m_model->getModelIntValue(OutputPortIndexParameterId), 1);
    QCOMPARE(m_model->getModelIntValue(OutputPortIndexSecondParameterId), 0);
    QCOMPARE(m_window->getCurrentInputPortIndex(InputPortGroupSecond), 0u);
    QCOMPARE(m_model->getParameterEditFlag(), ParameterEditFlagUnchanged);
    // Reading does not rewrite what it read.
    QCOMPARE(storedValue("PortName/InputPortNameSecond"), QString("Absent Device"));
}

void tst_MainWindowShell::parametersAreWrittenWhenTheWindowGoes()
{
    m_model->setModelIntValue(MessageDetailParameterId, 1);
    m_model->setModelIntValue(BulkIntervalParameterId, 120);
    m_model->setModelIntValue(SystemRealtimeFilterParameterId + 4, 1);
    QVERIFY(!QSettings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat).contains("Preferences/MessageDetail"));
    m_window.reset();
    QSettings settings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat);
    QCOMPARE(settings.value("Preferences/MessageDetail").toInt(), 1);
    QCOMPARE(settings.value("MidiThru/BulkInterval").toInt(), 120);
    QCOMPARE(settings.value("MidiFilter/(FE) Active Sensing").toInt(), 1);
    QVERIFY(!settings.contains("MidiFilter/Control Change"));
}

void tst_MainWindowShell::titleShowsProjectNameAndEditFlag()
{
    QCOMPARE(m_window->windowTitle(), QString("Tulvar MIDI"));
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    QCOMPARE(m_window->windowTitle(), QString("Tulvar MIDI*"));
    m_model->setProjectFilePath("/home/user/song.tulvarmidi");
    m_model->setParameterEditFlag(ParameterEditFlagUnchanged);
    QCOMPARE(m_window->windowTitle(), QString("Tulvar MIDI - song.tulvarmidi"));
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    QCOMPARE(m_window->windowTitle(), QString("Tulvar MIDI - song.tulvarmidi*"));
}

void tst_MainWindowShell::confirmationAsksYesNoCancel()
{
    m_boxes->setAnswer(QMessageBox::Cancel);
    QCOMPARE(m_window->showConfirmationMessageBox(), QMessageBox::Cancel);
    QCOMPARE(m_boxes->texts, QStringList{"Do you want to save changes?"});
    QCOMPARE(m_boxes->titles, QStringList{"Tulvar MIDI"});
    QCOMPARE(m_boxes->icons.value(0), QMessageBox::Question);
    QCOMPARE(m_boxes->buttons.value(0), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

void tst_MainWindowShell::newAsksFirstAndCancelKeepsEverything()
{
    m_window->show();
    m_window->openSubWindow({WindowRestorationInfo::KeyboardId});
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    const int before = m_window->getMdiArea()->subWindowList().size();

    m_boxes->setAnswer(QMessageBox::Cancel);
    m_window->newFile();
    QCOMPARE(m_boxes->texts.size(), 1);
    QCOMPARE(m_window->getMdiArea()->subWindowList().size(), before);
    QCOMPARE(m_model->getParameterEditFlag(), ParameterEditFlagChanged);

    m_boxes->setAnswer(QMessageBox::No);
    m_window->newFile();
    QCOMPARE(m_boxes->texts.size(), 2);
    QTRY_COMPARE(m_window->getMdiArea()->subWindowList().size(), 3);
    QVERIFY(subWindowsOfKind(*m_window, WindowRestorationInfo::KeyboardId).isEmpty());
    QCOMPARE(m_model->getParameterEditFlag(), ParameterEditFlagUnchanged);
    QCOMPARE(m_window->windowTitle(), QString("Tulvar MIDI"));
    QCOMPARE(m_window->size(), MainWindowDefaultSize);

    // Nothing unsaved: no question.
    m_window->newFile();
    QCOMPARE(m_boxes->texts.size(), 2);
}

void tst_MainWindowShell::closeAllAsksAndEmptiesTheArea()
{
    m_window->show();
    m_model->setProjectFilePath("/home/user/song.tulvarmidi");
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    QMenu* windowMenu = menuNamed(*m_window, "&Window");
    m_boxes->setAnswer(QMessageBox::No);
    actionNamed(windowMenu, "Close &All")->trigger();
    QCOMPARE(m_boxes->texts, QStringList{"Do you want to save changes?"});
    QTRY_VERIFY(m_window->getMdiArea()->subWindowList().isEmpty());
    QCOMPARE(m_model->getProjectFilePath(), QString());
    QCOMPARE(m_window->windowTitle(), QString("Tulvar MIDI"));
}

void tst_MainWindowShell::closingTwiceStoresTheLayoutOnce()
{
    m_window->show();
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    m_boxes->setAnswer(QMessageBox::Cancel);
    QVERIFY(!m_window->close());
    QVERIFY(m_window->isVisible());
    QVERIFY(!QSettings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat).childGroups().contains("SavePosition"));

    m_boxes->setAnswer(QMessageBox::No);
    QVERIFY(m_window->close());
    QCOMPARE(m_boxes->texts.size(), 2);
    QSettings settings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat);
    settings.beginGroup("SavePosition");
    QCOMPARE(settings.childKeys().size(), 4);
    settings.endGroup();

    // A second accepted close leaves the stored layout alone.
    m_window->show();
    m_window->openSubWindow({WindowRestorationInfo::KeyboardId});
    QVERIFY(m_window->close());
    settings.sync();
    settings.beginGroup("SavePosition");
    QCOMPARE(settings.childKeys().size(), 4);
}

void tst_MainWindowShell::quitClosesTheWindow()
{
    m_window->show();
    QAction* quit = actionNamed(menuNamed(*m_window, "&File"), "&Quit");
    QVERIFY(quit != nullptr);
    QCOMPARE(quit->shortcut(), QKeySequence("Ctrl+Q"));
    quit->trigger();
    QVERIFY(!m_window->isVisible());
    QVERIFY(QSettings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat).childGroups().contains("SavePosition"));
}

QTEST_MAIN(tst_MainWindowShell)
#include "tst_MainWindowShell.moc"
