#include "ShellTestSupport.h"

#include "app/MainWindowConstants.h"
#include "persistence/RegistryKeys.h"

#include <QtTest>

#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QWheelEvent>

class tst_SubWindowManagement : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { f.reset(); }

    void firstStartShowsTheDefaultLayout();
    void singleInstanceKindIsActivatedWhenOpenedAgain();
    void multiInstanceKindStopsAtItsLimit_data();
    void multiInstanceKindStopsAtItsLimit();
    void subWindowsCarryTheirNamesTitlesAndSizes_data();
    void subWindowsCarryTheirNamesTitlesAndSizes();
    void systemMenuLosesStayOnTopAndFixedKindsLoseMaximize();
    void maximisingAWindowLeavesFixedKindsAndKeyboardsAlone();
    void maximisedWindowComesBackMaximisedWithItsNormalRectangle();
    void layoutIsStoredInActivationOrder();
    void storedEntriesThatNameNoWindowAreSkipped();
    void offScreenMainWindowMovesOntoThePrimaryScreen();
    void closeAllForgetsEveryWindow();
    void wheelOverTheAreaDoesNotScrollIt();
    void droppedTextFileOpensAnEditorWithItsText();
    void dropsAreRefused_data();
    void dropsAreRefused();
    void viewsMenuDisablesKindsWithoutAView();

private:
    void createWindow();
    // Shown without the default layout, as when opened with a project file.
    void showEmpty()
    {
        f->window->setOpenedWithFile(true);
        f->window->show();
    }
    QDropEvent* dropEvent(QEvent::Type type, const QString& path, bool uriList = true);

    std::unique_ptr<ShellFixture> f;
    QList<SubWindowRequest> m_requests;
    std::unique_ptr<QMimeData> m_mimeData;
};

void tst_SubWindowManagement::init()
{
    f = std::make_unique<ShellFixture>();
    m_requests.clear();
    createWindow();
}

// A window whose every kind is a stand-in that remembers how it was asked for.
void tst_SubWindowManagement::createWindow()
{
    MainWindow& window = f->create();
    for (int kind = WindowRestorationInfo::FirstToolWindowId; kind <= WindowRestorationInfo::LastToolWindowId; ++kind) {
        window.subWindows().setSubWindowCreator(kind, [this](const SubWindowRequest& request) -> QWidget* {
            m_requests.append(request);
            if (request.kind == WindowRestorationInfo::ControlChangeId) {
                return new StandInControlChangeView(request.controllerNumber);
            }
            return new StandInView(request.kind);
        });
    }
}

void tst_SubWindowManagement::firstStartShowsTheDefaultLayout()
{
    f->window->show();
    const QList<QMdiSubWindow*> windows = f->window->getMdiArea()->subWindowList();
    QCOMPARE(windows.size(), 3);
    const QList<QPair<int, QRect>> expected{{1, QRect(0, 0, 338, 274)}, {2, QRect(338, 0, 338, 274)},
                                            {3, QRect(0, 274, 338, 274)}};
    for (const auto& [kind, rect] : expected) {
        const QList<QMdiSubWindow*> ofKind = subWindowsOfKind(*f->window, kind);
        QCOMPARE(ofKind.size(), 1);
        QCOMPARE(ofKind.first()->geometry(), rect);
    }
    QCOMPARE(f->model.getParameterEditFlag(), ParameterEditFlagUnchanged);
}

void tst_SubWindowManagement::singleInstanceKindIsActivatedWhenOpenedAgain()
{
    f->window->show();
    QMdiSubWindow* monitor = subWindowsOfKind(*f->window, WindowRestorationInfo::MidiInMonitorId).value(0);
    QVERIFY(monitor != nullptr);
    f->window->getMdiArea()->setActiveSubWindow(subWindowsOfKind(*f->window, 3).value(0));
    QCOMPARE(f->window->subWindows().openSubWindow({WindowRestorationInfo::MidiInMonitorId}), monitor);
    QCOMPARE(f->window->getMdiArea()->activeSubWindow(), monitor);
    QCOMPARE(subWindowsOfKind(*f->window, WindowRestorationInfo::MidiInMonitorId).size(), 1);

    for (int kind : {7, 8, 9, 11, 12, 14}) {
        QMdiSubWindow* first = f->window->subWindows().openSubWindow({kind});
        QVERIFY(first != nullptr);
        QCOMPARE(f->window->subWindows().openSubWindow({kind}), first);
    }
}

void tst_SubWindowManagement::multiInstanceKindStopsAtItsLimit_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("title");
    QTest::newRow("keyboard") << 4 << 16 << "Keyboard";
    QTest::newRow("control change") << 5 << 32 << "Control Change";
    QTest::newRow("program change") << 6 << 16 << "Program Change";
    QTest::newRow("pitch bend") << 10 << 16 << "Pitch Bend";
    QTest::newRow("custom message") << 13 << 32 << "Custom MIDI Message";
    QTest::newRow("message editor") << 3 << 16 << "System Exclusive";
}

void tst_SubWindowManagement::multiInstanceKindStopsAtItsLimit()
{
    QFETCH(int, kind);
    QFETCH(int, limit);
    QFETCH(QString, title);
    showEmpty();
    // The monitors do not count toward the editors' limit.
    f->window->subWindows().openSubWindow({WindowRestorationInfo::MidiInMonitorId});
    f->window->subWindows().openSubWindow({WindowRestorationInfo::MidiOutMonitorId});
    QList<QMdiSubWindow*> opened;
    for (int i = 0; i < limit; ++i) {
        QMdiSubWindow* subWindow = f->window->subWindows().openSubWindow({kind});
        QVERIFY(subWindow != nullptr);
        opened.append(subWindow);
    }
    QVERIFY(f->window->subWindows().openSubWindow({kind}) == nullptr);
    QCOMPARE(f->boxes.texts, QStringList{QString("Unable to open a new %1 View.\nPlease close any opened %1 View before "
                                                 "trying again.")
                                             .arg(title)});
    QCOMPARE(f->boxes.titles, QStringList{"Tulvar MIDI"});
    QCOMPARE(f->boxes.icons.value(0), QMessageBox::Warning);
    QCOMPARE(subWindowsOfKind(*f->window, kind).size(), limit);

    opened.at(3)->close();
    QVERIFY(f->window->subWindows().openSubWindow({kind}) != nullptr);
    QCOMPARE(f->boxes.texts.size(), 1);
}

void tst_SubWindowManagement::subWindowsCarryTheirNamesTitlesAndSizes_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("fixedSize");
    QTest::addColumn<QSize>("size");
    QTest::newRow("In monitor") << 1 << "MidiEditViewSubWindow" << "MIDI In Monitor" << false << QSize(338, 274);
    QTest::newRow("Out monitor") << 2 << "MidiEditViewSubWindow" << "MIDI Out Monitor" << false << QSize(338, 274);
    QTest::newRow("editor") << 3 << "MidiEditViewSubWindow" << "System Exclusive" << false << QSize(338, 274);
    QTest::newRow("keyboard") << 4 << "KeyboardSubWindow" << "Keyboard" << false << QSize();
    QTest::newRow("control change") << 5 << "ControlChangeViewSubWindow" << "Control Change" << false
                                    << QSize(225, 250);
    QTest::newRow("program change") << 6 << "" << "Program Change" << true << QSize();
    QTest::newRow("MIDI settings") << 7 << "MIDISettingsViewSubWindow" << "MIDI Settings" << false << QSize(503, 233);
    QTest::newRow("filter") << 8 << "" << "Filter" << true << QSize();
    QTest::newRow("timing clock") << 9 << "TimingClockViewSubWindow" << "Timing Clock" << false << QSize(220, 250);
    QTest::newRow("pitch bend") << 10 << "PitchbendViewSubWindow" << "Pitch Bend" << false << QSize(220, 274);
    QTest::newRow("active sensing") << 11 << "ActivesenseViewSubWindow" << "Active Sensing" << false
                                    << QSize(220, 250);
    QTest::newRow("PC keyboard") << 12 << "PCKeyboardViewSubWindow" << "PC Keyboard" << true << QSize();
    QTest::newRow("custom message") << 13 << "CustomMIDIMessageViewSubWindow" << "Custom MIDI Message" << false
                                    << QSize(270, 274);
    QTest::newRow("transport panel") << 14 << "TransportPanelViewSubWindow" << "Start/Stop" << true << QSize();
}

void tst_SubWindowManagement::subWindowsCarryTheirNamesTitlesAndSizes()
{
    QFETCH(int, kind);
    QFETCH(QString, objectName);
    QFETCH(QString, title);
    QFETCH(bool, fixedSize);
    QFETCH(QSize, size);
    showEmpty();
    QMdiSubWindow* subWindow = f->window->subWindows().openSubWindow({kind});
    QVERIFY(subWindow != nullptr);
    QCOMPARE(subWindow->objectName(), objectName);
    QCOMPARE(subWindow->windowTitle(), title);
    QCOMPARE(SubWindowManager::isFixedSizeObject(subWindow), fixedSize);
    if (fixedSize) {
        QCOMPARE(subWindow->minimumSize(), subWindow->size());
        QCOMPARE(subWindow->maximumSize(), subWindow->size());
        QVERIFY(!subWindow->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    }
    if (size.isValid()) {
        QCOMPARE(subWindow->size(), size);
    }
    if (kind == WindowRestorationInfo::KeyboardId) {
        QCOMPARE(subWindow->minimumWidth(), 350);
        QCOMPARE(subWindow->maximumWidth(), 1880);
        QCOMPARE(subWindow->minimumHeight(), subWindow->maximumHeight());
    }
    if (kind == WindowRestorationInfo::MidiSettingsId) {
        QCOMPARE(subWindow->minimumSize(), QSize(503 / 2 + 20, 170));
        QCOMPARE(subWindow->maximumSize(), QSize(503, 233));
    }
}

void tst_SubWindowManagement::systemMenuLosesStayOnTopAndFixedKindsLoseMaximize()
{
    showEmpty();
    auto texts = [](QMdiSubWindow* subWindow) {
        QStringList result;
        for (QAction* action : subWindow->systemMenu()->actions()) {
            result.append(action->text());
        }
        return result;
    };
    const QStringList editor = texts(f->window->subWindows().openSubWindow({WindowRestorationInfo::MidiMessageEditorId}));
    QVERIFY(!editor.contains(QMdiSubWindow::tr("Stay on &Top")));
    QVERIFY(editor.contains(QMdiSubWindow::tr("Ma&ximize")));
    const QStringList transport = texts(f->window->subWindows().openSubWindow({WindowRestorationInfo::TransportPanelId}));
    QVERIFY(!transport.contains(QMdiSubWindow::tr("Stay on &Top")));
    QVERIFY(!transport.contains(QMdiSubWindow::tr("Ma&ximize")));
    QVERIFY(transport.contains(QMdiSubWindow::tr("&Close")));
}

void tst_SubWindowManagement::maximisingAWindowLeavesFixedKindsAndKeyboardsAlone()
{
    showEmpty();
    QMdiSubWindow* transport = f->window->subWindows().openSubWindow({WindowRestorationInfo::TransportPanelId});
    QMdiSubWindow* keyboard = f->window->subWindows().openSubWindow({WindowRestorationInfo::KeyboardId});
    QMdiSubWindow* editor = f->window->subWindows().openSubWindow({WindowRestorationInfo::MidiMessageEditorId});
    editor->showMaximized();
    QVERIFY(editor->isMaximized());
    QVERIFY(!transport->isMaximized());
    QVERIFY(!keyboard->isMaximized());
    // An MDI area maximises the window it activates when the active one is maximised.
    f->window->getMdiArea()->setActiveSubWindow(keyboard);
    QVERIFY(!keyboard->isMaximized());
    f->window->getMdiArea()->setActiveSubWindow(transport);
    QVERIFY(!transport->isMaximized());
}

void tst_SubWindowManagement::maximisedWindowComesBackMaximisedWithItsNormalRectangle()
{
    showEmpty();
    QMdiSubWindow* editor = f->window->subWindows().openSubWindow({WindowRestorationInfo::MidiMessageEditorId});
    const QRect normal(12, 34, 300, 200);
    editor->setGeometry(normal);
    QCOMPARE(f->window->getNormalRect(editor), normal);
    editor->showMaximized();
    QVERIFY(editor->geometry() != normal);
    QCOMPARE(f->window->getNormalRect(editor), normal);
    f->window->close();

    const QList<WindowLayoutEntry> stored = SettingsStore(SettingsStore::defaultIniFilePath()).readWindowLayout();
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored.at(1).windowId, 3);
    QCOMPARE(stored.at(1).rect, normal);
    QVERIFY(stored.at(1).windowState & Qt::WindowMaximized);

    createWindow();
    f->window->show();
    QMdiSubWindow* restored = subWindowsOfKind(*f->window, 3).value(0);
    QVERIFY(restored != nullptr);
    QVERIFY(restored->isMaximized());
    restored->showNormal();
    QCOMPARE(restored->geometry(), normal);
}

void tst_SubWindowManagement::layoutIsStoredInActivationOrder()
{
    showEmpty();
    QMdiSubWindow* keyboard = f->window->subWindows().openSubWindow({WindowRestorationInfo::KeyboardId});
    SubWindowRequest controlChange{WindowRestorationInfo::ControlChangeId};
    controlChange.controllerNumber = 74;
    QMdiSubWindow* knob = f->window->subWindows().openSubWindow(controlChange);
    f->window->subWindows().openSubWindow({WindowRestorationInfo::TimingClockId});
    knob->setWindowFlags(knob->windowFlags() | Qt::WindowStaysOnTopHint);
    knob->show();
    f->window->getMdiArea()->setActiveSubWindow(keyboard);
    f->window->close();

    QSettings settings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat);
    settings.beginGroup(SavePositionRegistrykey);
    QStringList keys = settings.childKeys();
    keys.sort();
    QCOMPARE(keys, (QStringList{"0000000000-0-0", "0000000001-5-0", "0000000002-9-0", "0000000003-4-0"}));
    settings.endGroup();

    m_requests.clear();
    createWindow();
    f->window->show();
    QCOMPARE(m_requests.size(), 3);
    QCOMPARE(m_requests.at(0).kind, 5);
    QCOMPARE(int(m_requests.at(0).controllerNumber), 74);
    QCOMPARE(m_requests.at(1).kind, 9);
    QCOMPARE(m_requests.at(2).kind, 4);
    QMdiSubWindow* restoredKnob = subWindowsOfKind(*f->window, 5).value(0);
    QVERIFY(restoredKnob->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(f->window->getMdiArea()->activeSubWindow(), subWindowsOfKind(*f->window, 4).value(0));
}

void tst_SubWindowManagement::storedEntriesThatNameNoWindowAreSkipped()
{
    f->window.reset();
    QFile file(SettingsStore::defaultIniFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[SavePosition]\n"
               "0000000000-0-0=@Rect(100 100 679 548), 0, false\n"
               "0000000001-15-0=@Rect(0 0 338 274), 0, false\n"
               "0000000002-99-0=@Rect(0 0 338 274), 0, false\n"
               "0000000003-5-0=@Rect(0 0 225 250), 0, false, 300, 0\n"
               "0000000004-5-0=@Rect(0 0 225 250), 0, false, volume, 0\n"
               "0000000005-3-0=@Rect(20 30 338 274), 0, false\n");
    file.close();
    createWindow();
    f->window->show();
    QCOMPARE(f->window->getMdiArea()->subWindowList().size(), 1);
    QCOMPARE(subWindowsOfKind(*f->window, 3).value(0)->geometry(), QRect(20, 30, 338, 274));
    QCOMPARE(f->model.getParameterEditFlag(), ParameterEditFlagUnchanged);
}

void tst_SubWindowManagement::offScreenMainWindowMovesOntoThePrimaryScreen()
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect onScreen(available.topLeft() + QPoint(10, 10), QSize(679, 548));
    QCOMPARE(f->window->getMainWindowRestorationRect(onScreen), onScreen);

    const QRect offScreen(available.right() + 5000, available.bottom() + 5000, 679, 548);
    const QRect moved = f->window->getMainWindowRestorationRect(offScreen);
    QCOMPARE(moved.size(), offScreen.size());
    QCOMPARE(moved.topLeft(), available.topLeft() + QPoint(50, 50));

    // Showing less than 100 x 100 pixels counts as off-screen.
    const QRect sliver(available.right() - 50, available.top(), 679, 548);
    QCOMPARE(f->window->getMainWindowRestorationRect(sliver).topLeft(), available.topLeft() + QPoint(50, 50));
}

void tst_SubWindowManagement::closeAllForgetsEveryWindow()
{
    f->window->show();
    QMdiSubWindow* monitor = subWindowsOfKind(*f->window, WindowRestorationInfo::MidiInMonitorId).value(0);
    QVERIFY(monitor != nullptr);
    f->window->subWindows().openSubWindow({WindowRestorationInfo::KeyboardId});
    f->window->closeAllSubWindows();
    QTRY_VERIFY(f->window->getMdiArea()->subWindowList().isEmpty());
    QCOMPARE(f->model.getParameterEditFlag(), ParameterEditFlagUnchanged);
    QVERIFY(f->window->subWindows().openSubWindow({WindowRestorationInfo::MidiInMonitorId}) != nullptr);
    QCOMPARE(f->window->getMdiArea()->subWindowList().size(), 1);
}

void tst_SubWindowManagement::wheelOverTheAreaDoesNotScrollIt()
{
    showEmpty();
    QMdiSubWindow* far = f->window->subWindows().openSubWindow({WindowRestorationInfo::MidiMessageEditorId});
    far->move(0, 3000);
    QScrollBar* scrollBar = f->window->getMdiArea()->verticalScrollBar();
    QTRY_VERIFY(scrollBar->maximum() > 0);
    scrollBar->setValue(0);
    QWidget* viewport = f->window->getMdiArea()->viewport();
    for (QWidget* target : {viewport, static_cast<QWidget*>(far)}) {
        QWheelEvent wheel(QPointF(5, 5), viewport->mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    }
    QCOMPARE(scrollBar->value(), 0);
}

QDropEvent* tst_SubWindowManagement::dropEvent(QEvent::Type type, const QString& path, bool uriList)
{
    m_mimeData = std::make_unique<QMimeData>();
    if (uriList) {
        m_mimeData->setUrls({QUrl::fromLocalFile(path)});
    } else {
        m_mimeData->setText(path);
    }
    if (type == QEvent::DragEnter) {
        return new QDragEnterEvent(QPoint(5, 5), Qt::CopyAction, m_mimeData.get(), Qt::LeftButton, Qt::NoModifier);
    }
    return new QDropEvent(QPointF(5, 5), Qt::CopyAction, m_mimeData.get(), Qt::LeftButton, Qt::NoModifier, type);
}

void tst_SubWindowManagement::droppedTextFileOpensAnEditorWithItsText()
{
    showEmpty();
    QTemporaryDir folder;
    const QString path = folder.path() + "/identity.txt";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("F0 7E 7F 06 01 F7 // identity\n");
    file.close();

    QWidget* viewport = f->window->getMdiArea()->viewport();
    std::unique_ptr<QDropEvent> enter(dropEvent(QEvent::DragEnter, path));
    QApplication::sendEvent(viewport, enter.get());
    QVERIFY(enter->isAccepted());
    std::unique_ptr<QDropEvent> drop(dropEvent(QEvent::Drop, path));
    QApplication::sendEvent(viewport, drop.get());
    QVERIFY(drop->isAccepted());

    QCOMPARE(subWindowsOfKind(*f->window, WindowRestorationInfo::MidiMessageEditorId).size(), 1);
    QCOMPARE(m_requests.last().text, QString("F0 7E 7F 06 01 F7 // identity\n"));
    QCOMPARE(m_requests.last().receiving, false);
    QCOMPARE(f->model.getModelStringValue(DumpFileWorkingDirectoryParameterId), folder.path());
}

void tst_SubWindowManagement::dropsAreRefused_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("uriList");
    QTest::addColumn<bool>("transmitting");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("text file") << "a.txt" << true << false << true;
    QTest::newRow("project file") << "a.tulvarmidi" << true << false << true;
    QTest::newRow("while transmitting") << "a.txt" << true << true << false;
    QTest::newRow("other suffix") << "a.syx" << true << false << false;
    QTest::newRow("double suffix") << "a.backup.txt" << true << false << false;
    QTest::newRow("plain text, no file") << "a.txt" << false << false << false;
}

void tst_SubWindowManagement::dropsAreRefused()
{
    QFETCH(QString, fileName);
    QFETCH(bool, uriList);
    QFETCH(bool, transmitting);
    QFETCH(bool, accepted);
    showEmpty();
    f->model.setModelIntValue(MidiEditTransmissionStateParameterId, transmitting ? 1 : 0);
    std::unique_ptr<QDropEvent> enter(dropEvent(QEvent::DragEnter, "/tmp/" + fileName, uriList));
    enter->setAccepted(false);
    QApplication::sendEvent(f->window->getMdiArea()->viewport(), enter.get());
    QCOMPARE(enter->isAccepted(), accepted);
    f->model.setModelIntValue(MidiEditTransmissionStateParameterId, 0);
}

void tst_SubWindowManagement::viewsMenuDisablesKindsWithoutAView()
{
    f->window->subWindows().setSubWindowCreator(WindowRestorationInfo::FilterId, {});
    QMenu* views = f->window->menuBar()->actions().value(3)->menu();
    QVERIFY(views != nullptr && views->title() == "&Views");
    int checked = 0;
    for (QAction* action : views->actions()) {
        if (action->isSeparator()) {
            continue;
        }
        QCOMPARE(action->isEnabled(), action->text() != "&Filter");
        ++checked;
    }
    QCOMPARE(checked, 14);
    showEmpty();
    QVERIFY(f->window->subWindows().openSubWindow({WindowRestorationInfo::FilterId}) == nullptr);
}

QTEST_MAIN(tst_SubWindowManagement)
#include "tst_SubWindowManagement.moc"
