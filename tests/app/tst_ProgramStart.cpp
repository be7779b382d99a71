// Start-up: the command line, the program as a process, file-open requests and the native event filter.

#include "app/CApplication.h"
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/NativeEventFilter.h"
#include "persistence/SettingsStore.h"

#include <QDialog>
#include <QFile>
#include <QFileOpenEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWindow>
#include <QtTest>

#include <csignal>
#include <sys/types.h>

namespace {

class RecordingApplication : public CApplication {
public:
    using CApplication::CApplication;
    QStringList openedFiles;

protected:
    void openFileFromPlatform(QString const& path) override { openedFiles.append(path); }
};

// Records each call it is offered; the answers say whether it consumes them.
class RecordingFilter : public NativeEventFilter {
public:
    QStringList calls;
    bool consumeKeys = false;
    bool consumeClicks = false;

protected:
    bool keyDown(unsigned int character) override { return record("down:", character, consumeKeys); }
    bool keyUp(unsigned int character) override { return record("up:", character, consumeKeys); }
    bool mouseButtonDown() override { return record("click", 0, consumeClicks); }

private:
    bool record(const char* call, unsigned int character, bool consume)
    {
        calls.append(QString::fromLatin1(call) + (character != 0 ? QString(QChar(character)) : QString()));
        return consume;
    }
};

} // namespace

class tst_ProgramStart : public QObject {
    Q_OBJECT

private:
    // Whether the process has a handler of its own for the signal (its SigCgt mask).
    static bool catchesSignal(qint64 processId, int signalNumber)
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(processId));
        if (!status.open(QIODevice::ReadOnly)) {
            return false;
        }
        for (QByteArray const& line : status.readAll().split('\n')) {
            if (line.startsWith("SigCgt:")) {
                return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signalNumber - 1)) & 1U;
            }
        }
        return false;
    }

    RecordingFilter filter;
    QWidget* window = nullptr;
    QLineEdit* edit = nullptr;
    QPushButton* button = nullptr;

private slots:
    void initTestCase() { qApp->installEventFilter(&filter); }
    void cleanupTestCase() { qApp->removeEventFilter(&filter); }

    void init()
    {
        window = new QWidget;
        auto* layout = new QVBoxLayout(window);
        edit = new QLineEdit;
        button = new QPushButton(QStringLiteral("Press"));
        layout->addWidget(edit);
        layout->addWidget(button);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window));
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        filter.calls.clear();
        filter.consumeKeys = false;
        filter.consumeClicks = false;
    }

    void cleanup() { delete window; }

    // Qt's standard options are taken out of the arguments by the application object itself; here
    // they must only not be mistaken for the project file or refused.
    void argumentsAreUnderstood_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("projectFile");
        QTest::addColumn<QString>("option"); // what start-up hands the MIDI service factory
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("error"); // a word the error names; empty: no error
        QTest::addColumn<bool>("warned");
        const auto row = [](const char* name, const QStringList& arguments, const char* environment,
                            const char* projectFile, const char* option, const char* backend, const char* platform,
                            const char* error, bool warned) {
            QTest::newRow(name) << arguments << QString(environment) << QString(projectFile) << QString(option)
                                << QString(backend) << QString(platform) << QString(error) << warned;
        };
        row("nothing", {}, "", "", "", "auto", "", "", false);
        row("option and value", {"--midi-backend", "ALSA"}, "", "", "alsa", "alsa", "", "", false);
        row("environment", {}, "loopback", "", "", "loopback", "", "", false);
        row("option wins", {"--midi-backend=alsa"}, "jack", "", "alsa", "alsa", "", "", false);
        row("unknown environment word", {}, "coremidi", "", "", "auto", "", "", true);
        row("option without value", {"--midi-backend"}, "", "", "", "auto", "", "--midi-backend", false);
        row("two projects", {"a", "b"}, "", "a", "", "auto", "", "b", false);
        row("file named like an option", {"--", "-odd.tulvarmidi"}, "", "-odd.tulvarmidi", "", "auto", "", "", false);
        row("platform with its value, then a project", {"-platform", "offscreen", "song.tulvarmidi"}, "",
            "song.tulvarmidi", "", "auto", "offscreen", "", false);
        row("two dashes", {"--platform", "xcb", "--midi-backend=loopback"}, "", "", "loopback", "loopback", "xcb", "",
            false);
        row("style attached, reverse", {"-style=Fusion", "-reverse", "a"}, "", "a", "", "auto", "", "", false);
        row("Qt option without its value", {"-stylesheet"}, "", "", "", "auto", "", "-stylesheet", false);
    }

    void argumentsAreUnderstood()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, environment);
        QFETCH(QString, projectFile);
        QFETCH(QString, platform);
        QFETCH(QString, error);
        arguments.prepend(QStringLiteral("tulvar-midi"));
        CommandLine const line = CommandLine::parse(arguments, environment);
        QCOMPARE(line.error.isEmpty(), error.isEmpty());
        QVERIFY2(line.error.contains(error), qPrintable(line.error));
        QTEST(!line.warning.isEmpty(), "warned");
        QVERIFY(!line.showHelp && !line.showVersion);
        if (error.isEmpty()) {
            QCOMPARE(line.projectFile, projectFile);
            QTEST(line.midiBackendOption, "option");
            QTEST(line.midiBackend, "backend");
            QCOMPARE(line.platform, platform);
        }
    }

    // None needs a display; ended by a signal, the program ends as File > Quit does, writing its settings.
    void programEndsAsDocumented_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("signalNumber"); // 0: none is sent
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("version") << QStringList{"--version"} << "" << 0 << 0 << "Tulvar MIDI 1.4.1\n" << "";
        QTest::newRow("help") << QStringList{"--help"} << "" << 0 << 0 << "Usage: tulvar-midi" << "";
        QTest::newRow("wrong argument") << QStringList{"--midi-backend=coremidi"} << "" << 0 << 2 << "" << "coremidi";
        QTest::newRow("no display named") << QStringList{} << "" << 0 << 1 << "" << "no display found";
        // Named but without a server: Qt itself would abort.
        QTest::newRow("unreachable display") << QStringList{} << ":4242" << 0 << 1 << "" << "no display found";
        const QStringList running{"-platform", "offscreen", "--midi-backend=loopback"};
        QTest::newRow("SIGINT") << running << "" << int(SIGINT) << 0 << "" << "";
        QTest::newRow("SIGTERM") << running << "" << int(SIGTERM) << 0 << "" << "";
        QTest::newRow("SIGHUP") << running << "" << int(SIGHUP) << 0 << "" << "";
    }

    void programEndsAsDocumented()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, display);
        QFETCH(int, signalNumber);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        // The test's private home is the program's too.
        QFile::remove(SettingsStore::defaultIniFilePath());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            environment.remove(QString::fromLatin1(name));
        }
        if (!display.isEmpty()) {
            environment.insert(QStringLiteral("DISPLAY"), display);
        }
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TULVAR_MIDI_PROGRAM), arguments);
        if (signalNumber != 0) {
            QVERIFY(process.waitForStarted(30000));
            const auto readyOrEnded = [&] {
                return catchesSignal(process.processId(), signalNumber) || process.state() != QProcess::Running;
            };
            const bool ready = QTest::qWaitFor(readyOrEnded, 30000);
            QVERIFY2(ready && process.state() == QProcess::Running, process.readAllStandardError().constData());
            ::kill(pid_t(process.processId()), signalNumber);
        }
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
            QFAIL("the program did not end");
        }
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        const QString standardOut = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString standardError = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(out.isEmpty() || standardOut.startsWith(out), qPrintable(standardOut));
        QVERIFY2(standardError.contains(err), qPrintable(standardError));
        // One clear line, not Qt's abort text.
        QVERIFY(exitCode != 1 || standardError.count(QLatin1Char('\n')) == 1);
        if (signalNumber != 0) {
            QSettings const settings(SettingsStore::defaultIniFilePath(), QSettings::IniFormat);
            QVERIFY(settings.childGroups().contains(QStringLiteral("Preferences")));
            QVERIFY(settings.childGroups().contains(QStringLiteral("SavePosition")));
        }
    }

    // Each event: P or R (press, release; lower case when auto-repeated), "^" for Control, then the
    // key's text. A held key is one note: its repeats and keys that type nothing play nothing; under
    // a modal window no note starts, but a release still ends one.
    void keysAreSeenOnceBeforeTheWidget_data()
    {
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<bool>("consume");
        QTest::addColumn<bool>("modal");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("typed");
        QTest::newRow("key") << QStringList{"Pa", "Ra"} << false << false << QStringList{"down:a", "up:a"} << "a";
        QTest::newRow("consumed") << QStringList{"Pz", "Rz"} << true << false << QStringList{"down:z", "up:z"} << "";
        QTest::newRow("auto-repeated") << QStringList{"Pa", "ra", "pa", "ra", "pa", "Ra"} << false << false
                                       << QStringList{"down:a", "up:a"} << "aaa";
        QTest::newRow("control") << QStringList{"^Ps", "^Rs"} << false << false << QStringList{} << "";
        QTest::newRow("no text") << QStringList{"P", "R"} << false << false << QStringList{} << "";
        QTest::newRow("modal window") << QStringList{"Pd", "Rd"} << false << true << QStringList{"up:d"} << "";
    }

    void keysAreSeenOnceBeforeTheWidget()
    {
        QFETCH(QStringList, events);
        QFETCH(bool, consume);
        QFETCH(bool, modal);
        QFETCH(QStringList, calls);
        filter.consumeKeys = consume;
        QDialog dialog(window);
        if (modal) {
            dialog.setModal(true);
            dialog.show();
            QTRY_VERIFY(QApplication::activeModalWidget() == &dialog);
        }
        // Delivered the way the window system delivers it: to the window, which passes it on.
        QWindow* target = (modal ? &dialog : window)->windowHandle();
        for (QString event : events) {
            const bool control = event.startsWith('^');
            event.remove('^');
            const QString text = event.mid(1);
            const Qt::Key key = text.isEmpty() ? Qt::Key_Left : Qt::Key(Qt::Key_A + (text.at(0).unicode() - 'a'));
            QKeyEvent keyEvent(event.at(0).toUpper() == 'P' ? QEvent::KeyPress : QEvent::KeyRelease, key,
                               control ? Qt::ControlModifier : Qt::NoModifier, text, event.at(0).isLower());
            QApplication::sendEvent(target, &keyEvent);
        }
        QCOMPARE(filter.calls, calls);
        QTEST(edit->text(), "typed");
    }

    // The keys go to the text, not to the notes, whatever the widget lets them change; a read-only
    // text (a monitor) and a button take no text.
    void focusInTextFieldsMeansTyping()
    {
        auto* readOnlyEdit = new QLineEdit(window);
        readOnlyEdit->setReadOnly(true);
        auto* monitor = new QPlainTextEdit(window);
        monitor->setReadOnly(true);
        const QList<QPair<QWidget*, bool>> cases{
            {edit, true}, {readOnlyEdit, true}, {new QSpinBox(window), true}, {new QPlainTextEdit(window), true},
            {monitor, false}, {button, false}};
        for (const auto& [focus, typing] : cases) {
            focus->show();
            focus->setFocus();
            QTRY_VERIFY(focus->hasFocus());
            QVERIFY2(NativeEventFilter::isTyping() == typing, focus->metaObject()->className());
        }
    }

    void clickIsOfferedFirstAndMayBeConsumed()
    {
        QPoint const inWindow = button->mapTo(window, button->rect().center());
        for (bool consume : {false, true}) {
            filter.calls.clear();
            filter.consumeClicks = consume;
            QSignalSpy clicked(button, &QPushButton::clicked);
            QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, inWindow);
            QCOMPARE(filter.calls, QStringList{"click"});
            QCOMPARE(clicked.count(), consume ? 0 : 1);
        }
    }

    void filterDoesNothingWithoutAMainWindow()
    {
        QVERIFY(MainWindow::m_pInstance == nullptr);
        NativeEventFilter plain;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QVERIFY(!plain.eventFilter(window->windowHandle(), &press));
    }

    // A platform request opens the project, but not while a modal window is up.
    void fileOpenRequestsOpenTheProjectWhenNoModalWindowIsUp()
    {
        auto* application = static_cast<RecordingApplication*>(qApp);
        QFileOpenEvent event(QStringLiteral("/tmp/setup.tulvarmidi"));
        {
            QDialog dialog(window);
            dialog.setModal(true);
            dialog.show();
            QTRY_VERIFY(QApplication::activeModalWidget() == &dialog);
            QCoreApplication::sendEvent(qApp, &event);
            QVERIFY(application->openedFiles.isEmpty());
        }
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        QCoreApplication::sendEvent(qApp, &event);
        QCOMPARE(application->openedFiles, QStringList{"/tmp/setup.tulvarmidi"});
    }
};

int main(int argc, char** argv)
{
    RecordingApplication application(argc, argv);
    tst_ProgramStart test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_ProgramStart.moc"
