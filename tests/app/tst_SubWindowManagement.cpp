#include "ShellTestSupport.h"

#include "app/MainWindowConstants.h"
#include "testkit/FileBytes.h"
#include "testkit/WidgetEvents.h"
#include "views/MidiControlChangeView.h"

#include <QtTest>

#include <QComboBox>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>

#include <algorithm>
#include <utility>

Q_DECLARE_METATYPE(const SubWindowKind*)

class tst_SubWindowManagement : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { f.reset(); }

    // Every tool kind is a stand-in that remembers how it was asked for.
    void init()
    {
        f = std::make_unique<ShellFixture>();
        m_requests.clear();
        f->toolViews = [this](const SubWindowRequest& request) {
            m_requests.append(request);
            return new StandInView(request);
        };
        f->create();
    }

    // The two monitors side by side and an editor below, at the first start and after New.
    void defaultLayoutFillsTheWorkspaceAtFirstStartAndAfterNew()
    {
        f->show();
        QMdiArea* area = f->window->getMdiArea();
        for (int pass = 0; pass < 2; ++pass) {
            QTRY_COMPARE(area->viewport()->size(), DefaultWorkspaceSize);
            QTRY_COMPARE(area->subWindowList().size(), 3);
            QCOMPARE(workspaceLayout(), (QStringList{"1 0,0 338x274", "2 338,0 338x274", "3 0,274 338x274"}));
            QCOMPARE(f->model.getParameterEditFlag(), ParameterEditFlagUnchanged);

            open(WindowRestorationInfo::KeyboardId);
            f->model.setProjectFilePath("/home/user/song.tulvarmidi");
            f->window->resize(300, 200);
            f->window->newFile();
        }
    }

    void menusKeepShortcutsApartOfferEveryControllerAndOnlyKindsWithAView()
    {
        const QList<QAction*> views = menuEntry(*f->window, "&Views")->menu()->actions();
        QCOMPARE(std::count_if(views.begin(), views.end(), [](QAction* action) { return action->isSeparator(); }), 1);
        QStringList shortcuts;
        for (QAction* action : f->window->menuBar()->findChildren<QAction*>()) {
            const QString shortcut = action->shortcut().toString();
            QVERIFY2(shortcut.isEmpty() || !shortcuts.contains(shortcut), qPrintable(action->text()));
            shortcuts << shortcut;
        }
        const QList<QAction*> controllers = menuEntry(*f->window, "&Views", "&Control Change")->menu()->actions();
        QCOMPARE(controllers.size(), 128);
        QCOMPARE(controllers.first()->text(), QString("000 Bank (MSB)"));
        QCOMPARE(controllers.last()->text(), QString("127 Poly On"));

        // A kind without a view is disabled in the menu and opens nothing.
        f->window->subWindows().setSubWindowCreator(WindowRestorationInfo::FilterId, {});
        for (QAction* action : views) {
            QCOMPARE(action->isEnabled(), action->text() != "&Filter");
        }
        QVERIFY(open(WindowRestorationInfo::FilterId) == nullptr);
    }

    void everyKindOpensFromItsMenuEntryUnderItsRowsRules_data()
    {
        QTest::addColumn<const SubWindowKind*>("row");
        for (const SubWindowKind& row : subWindowKindTable()) {
            QTest::newRow(row.menuText) << &row;
        }
    }

    // The program's own view first, then stand-ins up to the row's limit (the monitors, open meanwhile,
    // share the editors' name but not their count).
    void everyKindOpensFromItsMenuEntryUnderItsRowsRules()
    {
        QFETCH(const SubWindowKind*, row);
        const SubWindowCreator standIn = std::exchange(f->toolViews, {});
        f->show(true);
        const QList<QAction*> actions = f->window->menuBar()->findChildren<QAction*>();
        const auto found = std::find_if(actions.begin(), actions.end(),
                                        [row](QAction* action) { return action->property("kind") == row->kind; });
        QVERIFY(found != actions.end() && (*found)->isEnabled());
        QAction* entry = *found;
        if (row->menu != SubWindowMenu::File) {
            QCOMPARE(entry->shortcut(), QKeySequence(QString::fromLatin1(row->shortcut)));
        }
        const bool controlChange = row->kind == WindowRestorationInfo::ControlChangeId;
        (controlChange ? entry->menu()->actions().value(7) : entry)->trigger();
        QMdiArea* area = f->window->getMdiArea();
        QCOMPARE(area->subWindowList().size(), 1);
        QMdiSubWindow* subWindow = area->subWindowList().first();

        QCOMPARE(subWindow->objectName(), row->objectName);
        const QString title = QString::fromLatin1(row->menuText).remove('&').remove("...");
        QCOMPARE(subWindow->windowTitle(), title);
        const bool fixed = row->sizeRule == SubWindowSizeRule::Content;
        QCOMPARE(SubWindowManager::isFixedSizeObject(subWindow), fixed);
        QStringList systemMenu;
        for (QAction* action : subWindow->systemMenu()->actions()) {
            systemMenu << action->text();
        }
        QVERIFY(!systemMenu.contains(QMdiSubWindow::tr("Stay on &Top")));
        if (fixed) {
            QVERIFY(!systemMenu.contains(QMdiSubWindow::tr("Ma&ximize")));
            QVERIFY(!subWindow->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
            QCOMPARE(subWindow->minimumSize(), subWindow->maximumSize());
        }
        const QSize size = subWindow->size();
        if (row->sizeRule == SubWindowSizeRule::Given) {
            QCOMPARE(size, row->size);
        } else if (row->sizeRule == SubWindowSizeRule::MessageView) {
            QCOMPARE(size, QSize(338, 274));
        } else if (row->sizeRule == SubWindowSizeRule::Keyboard) {
            QCOMPARE(subWindow->minimumHeight(), subWindow->maximumHeight());
        }
        QWidget* view = subWindow->widget();
        QVERIFY2(view->size().expandedTo(view->minimumSizeHint()) == view->size(),
                 qPrintable(QStringLiteral("%1 x %2").arg(view->width()).arg(view->height())));
        if (controlChange) {
            QCOMPARE(qobject_cast<MidiControlChangeView*>(view)->controllerComboBox()->currentIndex(), 7);
        }

        f->window->subWindows().setSubWindowCreator(row->kind, standIn);
        for (int monitor : {WindowRestorationInfo::MidiInMonitorId, WindowRestorationInfo::MidiOutMonitorId}) {
            area->setActiveSubWindow(open(monitor));
        }
        QList<QMdiSubWindow*> opened{subWindow};
        while (opened.size() < row->limit) {
            opened << open(row->kind);
            QVERIFY(opened.last() != nullptr);
        }
        if (row->limit == 1) {
            QCOMPARE(open(row->kind), subWindow);
            QCOMPARE(area->activeSubWindow(), subWindow);
        } else {
            QVERIFY(open(row->kind) == nullptr);
            QCOMPARE(f->boxes.texts, QStringList{LimitViewDisplayMessage.arg(title)});
            QCOMPARE(f->boxes.titles, QStringList{"Tulvar MIDI"});
            QCOMPARE(f->boxes.icons.value(0), QMessageBox::Warning);
            opened.at(3)->close();
            QVERIFY(open(row->kind) != nullptr);
            QCOMPARE(f->boxes.texts.size(), 1);
        }
        f->window->closeAllSubWindows();
        QVERIFY(area->subWindowList().isEmpty());
        QVERIFY(open(row->kind) != nullptr);
    }

    void maximisingLeavesFixedKindsAndKeyboardsAloneAndTheWheelDoesNotScroll()
    {
        f->show(true);
        QMdiSubWindow* transport = open(WindowRestorationInfo::TransportPanelId);
        QMdiSubWindow* keyboard = open(WindowRestorationInfo::KeyboardId);
        QMdiSubWindow* editor = open(WindowRestorationInfo::MidiMessageEditorId);
        const QRect normal = f->window->getNormalRect(editor);
        editor->showMaximized();
        QVERIFY(editor->isMaximized());
        // Resizing the workspace resizes the maximised window, not the size it comes back to.
        f->window->resize(f->window->size() + QSize(40, 30));
        QTRY_VERIFY(editor->size() != normal.size());
        QCOMPARE(f->window->getNormalRect(editor), normal);
        // An MDI area maximises the window it activates when the active one is maximised.
        f->window->getMdiArea()->setActiveSubWindow(keyboard);
        QVERIFY(!keyboard->isMaximized());
        f->window->getMdiArea()->setActiveSubWindow(transport);
        QVERIFY(!transport->isMaximized());
        editor->showNormal();

        // The wheel over the area or a window in it does not scroll the area.
        editor->move(0, 3000);
        QScrollBar* scrollBar = f->window->getMdiArea()->verticalScrollBar();
        QTRY_VERIFY(scrollBar->maximum() > 0);
        scrollBar->setValue(0);
        for (QWidget* target : {f->window->getMdiArea()->viewport(), static_cast<QWidget*>(editor)}) {
            WidgetEvents::wheel(target, QPoint(5, 5), -120);
        }
        QCOMPARE(scrollBar->value(), 0);
    }

    void everyKindComesBackWithItsPlaceAndState_data()
    {
        QTest::addColumn<bool>("project");
        QTest::newRow("settings file") << false;
        QTest::newRow("project file") << true;
    }

    // The stores' own forms are the persistence tests'; here what the workspace gives and gets back.
    void everyKindComesBackWithItsPlaceAndState()
    {
        QFETCH(bool, project);
        f->show(true);
        int step = 0;
        for (const SubWindowKind& row : subWindowKindTable()) {
            if (WindowRestorationInfo::isToolWindowId(row.kind)) {
                SubWindowRequest request{row.kind};
                request.controllerNumber = 74;
                f->window->subWindows().openSubWindow(request)->move(10 * step, 5 * step);
                ++step;
            }
        }
        QMdiSubWindow* knob = subWindowsOfKind(*f->window, WindowRestorationInfo::ControlChangeId).value(0);
        knob->setWindowFlags(knob->windowFlags() | Qt::WindowStaysOnTopHint);
        knob->show();
        QMdiSubWindow* editor = subWindowsOfKind(*f->window, WindowRestorationInfo::MidiMessageEditorId).value(0);
        editor->setGeometry(12, 34, 300, 200);
        f->window->getMdiArea()->setActiveSubWindow(editor);
        editor->showMaximized();
        const QStringList layout = workspaceLayout();
        QCOMPARE(layout.size(), step);
        QCOMPARE(layout.last(), QStringLiteral("3 12,34 300x200 maximised"));
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        f->window->move(available.bottomRight() + QPoint(5000, 5000));

        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("layout.tulvarmidi"));
        if (project) {
            QVERIFY(f->window->saveProjectFile(path));
            f->window->newFile();
            QVERIFY(f->window->openProjectFile(path));
        } else {
            f->window->close();
            // A control change entry without a usable controller number opens nothing.
            const QString ini = SettingsStore::defaultIniFilePath();
            QVERIFY(writeFileBytes(ini, readFileBytes(ini) + "\n[SavePosition]\n"
                                                             "0000000099-5-0=@Rect(0 0 225 250), 0, false, 300, 0\n"));
            f->show();
        }
        QCOMPARE(workspaceLayout(), layout);
        QCOMPARE(f->window->getMdiArea()->activeSubWindow(), f->window->getSubWindowList().last());
        QCOMPARE(f->window->geometry().topLeft(), available.topLeft() + QPoint(50, 50));
        QCOMPARE(f->model.getParameterEditFlag(), ParameterEditFlagUnchanged);
    }

    // Showing less than 100 x 100 pixels counts as off-screen; far off is the round trip's case.
    void mainWindowIsKeptOnAndWithinThePrimaryScreen()
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect onScreen(screen.topLeft() + QPoint(10, 10), QSize(679, 548));
        const QRect sliver(QPoint(screen.right() - 50, screen.top()), onScreen.size());
        const QRect huge(40, 40, 100000, 100000);
        const QSize desktop = QGuiApplication::primaryScreen()->availableVirtualGeometry().size();
        QCOMPARE(f->window->getMainWindowRestorationRect(onScreen), onScreen);
        QCOMPARE(f->window->getMainWindowRestorationRect(sliver), onScreen.translated(40, 40));
        QCOMPARE(f->window->getMainWindowRestorationRect(huge), QRect(huge.topLeft(), huge.size().boundedTo(desktop)));
    }

    void droppedFilesOpenAnEditorOrAreRefused_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("transmitting");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("editorText"); // null: no editor opens
        const QByteArray identity("F0 7E 7F 06 01 F7 // identity\n");
        QTest::newRow("text file") << "identity.txt" << identity << false << true << QString(identity);
        QTest::newRow("system exclusive file, as its bytes in text")
            << "patch.syx" << QByteArray::fromHex("f07e7f0601f7f001f7") << false << true
            << "F0 7E 7F 06 01 F7\nF0 01 F7\n";
        QTest::newRow("project file") << "a.tulvarmidi" << QByteArray() << false << true << QString();
        QTest::newRow("while transmitting") << "a.txt" << QByteArray() << true << false << QString();
        QTest::newRow("double suffix") << "a.backup.txt" << QByteArray() << false << false << QString();
    }

    void droppedFilesOpenAnEditorOrAreRefused()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, contents);
        QFETCH(bool, transmitting);
        QFETCH(QString, editorText);
        f->show(true);
        QTemporaryDir folder;
        const QString path = folder.filePath(fileName);
        QVERIFY(writeFileBytes(path, contents));
        f->model.setModelIntValue(MidiEditTransmissionStateParameterId, transmitting ? 1 : 0);

        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.setAccepted(false);
        QApplication::sendEvent(f->window->getMdiArea()->viewport(), &enter);
        QTEST(enter.isAccepted(), "accepted");
        if (editorText.isNull()) {
            return;
        }
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f->window->getMdiArea()->viewport(), &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(subWindowsOfKind(*f->window, WindowRestorationInfo::MidiMessageEditorId).size(), 1);
        QCOMPARE(m_requests.last().text, editorText);
        QCOMPARE(m_requests.last().receiving, false);
        QCOMPARE(f->model.getModelStringValue(DumpFileWorkingDirectoryParameterId), folder.path());
    }

private:
    // Per window in activation order: kind, parameters, normal rectangle and the flags that are set.
    QStringList workspaceLayout()
    {
        QStringList layout;
        for (QMdiSubWindow* subWindow : f->window->getSubWindowList()) {
            const auto* info = dynamic_cast<WindowRestorationInfo*>(subWindow->widget());
            const QRect rect = f->window->getNormalRect(subWindow);
            QStringList line{QString::number(info->getWindowId())};
            for (const QVariant& parameter : info->getRestorationParameters()) {
                line << parameter.toString();
            }
            line << QStringLiteral("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
            if (subWindow->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
                line << QStringLiteral("on top");
            }
            if (subWindow->isMaximized()) {
                line << QStringLiteral("maximised");
            }
            layout << line.join(' ');
        }
        return layout;
    }

    QMdiSubWindow* open(int kind) { return f->window->subWindows().openSubWindow({kind}); }

    std::unique_ptr<ShellFixture> f;
    QList<SubWindowRequest> m_requests;
};

QTEST_MAIN(tst_SubWindowManagement)
#include "tst_SubWindowManagement.moc"
