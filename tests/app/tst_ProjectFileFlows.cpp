#include "ShellTestSupport.h"

#include "app/MainWindowConstants.h"
#include "app/QuitSignalHandler.h"
#include "model/TulvarMidiParameters.h"
#include "support/CommonTexts.h"
#include "testkit/FileBytes.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

// The main window with its file dialogs answered by the test.
class ScriptedDialogsWindow : public MainWindow {
public:
    using MainWindow::MainWindow;

    QString openAnswer;
    int openDialogs = 0;

protected:
    QString chooseProjectFileToOpen() override
    {
        ++openDialogs;
        return openAnswer;
    }
    QString chooseProjectFileToSave(const QString&) override { return QString(); }
};

} // namespace

// A project with unsaved changes: the `*` goes only when a save succeeded or the workspace was
// replaced; wherever the work is kept, it stays marked and the next Quit asks again.
class tst_ProjectFileFlows : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        f = std::make_unique<ShellFixture>();
        m_folder = std::make_unique<QTemporaryDir>();
        window = &f->show<ScriptedDialogsWindow>(true);

        // Another project, with one keyboard window, to open.
        window->subWindows().openSubWindow({WindowRestorationInfo::KeyboardId});
        m_otherProject = m_folder->filePath(QStringLiteral("other.tulvarmidi"));
        QVERIFY(window->saveProjectFile(m_otherProject));
        window->closeAllSubWindows();

        // The project in hand: saved once with a pitch bend window, then changed.
        QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("work")));
        m_project = m_folder->filePath(QStringLiteral("work/song.tulvarmidi"));
        window->subWindows().openSubWindow({WindowRestorationInfo::PitchBendId});
        QVERIFY(window->saveProjectFile(m_project));
        f->model.setModelIntValue(EditFlagParameterId, ParameterEditFlagChanged);
        QVERIFY(QFile::remove(m_project));
    }

    void cleanup() { f.reset(); }

    void eachAnswerKeepsOrSavesTheWork_data()
    {
        QTest::addColumn<QString>("entry"); // menu/entry
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saveFails");
        QTest::addColumn<bool>("proceeds");
        QTest::addColumn<QByteArray>("chosen"); // what the open dialog picks; null: the other project
        QTest::addColumn<QStringList>("boxes"); // after the question
        const auto row = [](const QString& name, const QString& entry, int answer, bool saveFails, bool proceeds,
                            const QByteArray& chosen = QByteArray(), const QStringList& boxes = {}) {
            QTest::newRow(qPrintable(name)) << entry << answer << saveFails << proceeds << chosen << boxes;
        };
        // Every entry asks through one question, whose answers are checked once (on Quit); per entry,
        // that it goes on after No and stops after Cancel.
        const QString open = QStringLiteral("&File/&Open...");
        const QString quit = QStringLiteral("&File/&Quit");
        for (const QString& entry : {QStringLiteral("&File/&New"), open, QStringLiteral("&Window/Close &All"), quit}) {
            row(entry + ", no", entry, QMessageBox::No, false, true);
            row(entry + ", cancel", entry, QMessageBox::Cancel, false, false);
        }
        row(quit + ", yes, saved", quit, QMessageBox::Yes, false, true);
        row(quit + ", yes, save fails", quit, QMessageBox::Yes, true, false, QByteArray(), {FileSaveFailedMessage});
        const QByteArray header =
            QByteArray("KELDAN WORKS") + QByteArray(4, '\0') + QByteArray("Tulvar MIDI") + QByteArray(5, '\0');
        row("open, no, dialog cancelled", open, QMessageBox::No, false, false, QByteArray(""));
        row("open, no, newer version", open, QMessageBox::No, false, false, header + "1.6.0" + QByteArray(11, '\0'),
            {FileFormatVersionErrorMessage});
    }

    void eachAnswerKeepsOrSavesTheWork()
    {
        QFETCH(QString, entry);
        QFETCH(int, answer);
        QFETCH(bool, saveFails);
        QFETCH(bool, proceeds);
        QFETCH(QByteArray, chosen);
        QFETCH(QStringList, boxes);
        if (saveFails) {
            QVERIFY(QDir(m_folder->filePath(QStringLiteral("work"))).removeRecursively());
        }
        window->openAnswer = chosen.isNull() ? m_otherProject : QString();
        if (!chosen.isEmpty()) {
            window->openAnswer = m_folder->filePath(QStringLiteral("chosen.tulvarmidi"));
            QVERIFY(writeFileBytes(window->openAnswer, chosen));
        }
        f->boxes.setAnswer(QMessageBox::StandardButton(answer));

        menuEntry(*window, entry.section('/', 0, 0), entry.section('/', 1))->trigger();
        const bool open = entry.endsWith("Open...");
        const bool quit = entry.endsWith("Quit");
        QCOMPARE(f->boxes.texts, QStringList{ConfirmationMessage} + boxes);
        QCOMPARE(f->boxes.titles.value(0), QStringLiteral("Tulvar MIDI"));
        QCOMPARE(f->boxes.icons.value(0), QMessageBox::Question);
        QCOMPARE(f->boxes.buttons.value(0), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(QFile::exists(m_project), answer == QMessageBox::Yes && !saveFails);
        QCOMPARE(window->openDialogs, open && answer != QMessageBox::Cancel ? 1 : 0);
        const bool pitchBendKept = !subWindowsOfKind(*window, WindowRestorationInfo::PitchBendId).isEmpty();
        if (quit) {
            QCOMPARE(window->isVisible(), !proceeds);
        } else {
            QCOMPARE(pitchBendKept, !proceeds);
        }
        if (!proceeds) {
            // Nothing was replaced, so the project in hand is still the one a save writes.
            QCOMPARE(f->model.getProjectFilePath(), QFileInfo(m_project).absoluteFilePath());
            expectMarkedAndAskedAgainOnQuit();
        } else if (!open && !quit) {
            QCOMPARE(f->model.getParameterEditFlag(), ParameterEditFlagUnchanged);
            QCOMPARE(f->model.getProjectFilePath(), QString());
            QCOMPARE(window->windowTitle(), QStringLiteral("Tulvar MIDI"));
        } else if (open) {
            QCOMPARE(window->windowTitle(), QStringLiteral("Tulvar MIDI - other.tulvarmidi"));
        }
    }

    // A failed Save As keeps the project it had.
    void savingNamesTheProjectInTitleAndFolder()
    {
        QCOMPARE(window->windowTitle(), QStringLiteral("Tulvar MIDI - song.tulvarmidi*"));
        QVERIFY(window->saveFile());
        QVERIFY(QFile::exists(m_project));
        QCOMPARE(window->windowTitle(), QStringLiteral("Tulvar MIDI - song.tulvarmidi"));
        QCOMPARE(f->model.getModelStringValue(ProjectFileWorkingDirectoryParameterId),
                 QFileInfo(m_project).absolutePath());
        QVERIFY(!window->saveProjectFile(m_folder->filePath(QStringLiteral("missing/other.tulvarmidi"))));
        QCOMPARE(f->boxes.texts, QStringList{FileSaveFailedMessage});
        QCOMPARE(f->model.getProjectFilePath(), QFileInfo(m_project).absoluteFilePath());
    }

    // What is open then is neither project, so a save must ask for a name.
    void openFailingMidwayKeepsTheWindowsMadeAndForgetsThePath()
    {
        SubWindowRequest editor{WindowRestorationInfo::MidiMessageEditorId};
        editor.text = QStringLiteral("F0 F7");
        window->subWindows().openSubWindow(editor);
        const QString damaged = m_folder->filePath(QStringLiteral("damaged.tulvarmidi"));
        QVERIFY(window->saveProjectFile(damaged));
        QByteArray bytes = readFileBytes(damaged);
        // The file ends with the editor's payload frame: P = 13, tag 0, length 5, "F0 F7".
        QVERIFY(bytes.endsWith(QByteArray::fromHex("0000000D" "00000000" "00000005") + "F0 F7"));
        bytes[bytes.size() - 13 + 3] = 7;
        QVERIFY(writeFileBytes(damaged, bytes));

        QVERIFY(!window->openProjectFile(damaged));
        QCOMPARE(f->boxes.texts, QStringList{FileOpenFailedMessage});
        // The pitch bend window and the editor, made before the editor's payload was read.
        QCOMPARE(window->getSubWindowList().size(), 2);
        QVERIFY(f->model.getProjectFilePath().isEmpty());
        QCOMPARE(window->windowTitle(), QStringLiteral("Tulvar MIDI*"));
        expectMarkedAndAskedAgainOnQuit();
    }

    // A quit signal while a box nobody answers is up answers nothing and saves no project.
    void quitSignalClosesWithoutTheQuestion()
    {
        QuitSignalHandler handler;
        connect(&handler, &QuitSignalHandler::quitRequested, window, &MainWindow::quitWithoutConfirmation);
        {
            QMessageBox box(QMessageBox::Information, ApplicationName, QStringLiteral("waiting"), QMessageBox::Ok,
                            window);
            box.setProperty("answered", true);
            QTimer::singleShot(0, [] { ::raise(SIGTERM); });
            box.exec();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 10000);
        QCOMPARE(f->boxes.texts, QStringList());
        QVERIFY(!QFile::exists(m_project));
    }

private:
    // Still marked, and the next Quit asks before anything is lost (Cancel keeps it open).
    void expectMarkedAndAskedAgainOnQuit()
    {
        QCOMPARE(f->model.getParameterEditFlag(), ParameterEditFlagChanged);
        QVERIFY(window->windowTitle().endsWith(QLatin1Char('*')));
        const int asked = f->boxes.texts.count(ConfirmationMessage);
        f->boxes.setAnswer(QMessageBox::Cancel);
        QVERIFY(!window->close());
        QCOMPARE(f->boxes.texts.count(ConfirmationMessage), asked + 1);
    }

    std::unique_ptr<ShellFixture> f;
    std::unique_ptr<QTemporaryDir> m_folder;
    ScriptedDialogsWindow* window = nullptr;
    QString m_project;
    QString m_otherProject;
};

QTEST_MAIN(tst_ProjectFileFlows)
#include "tst_ProjectFileFlows.moc"
