#include "app/CommandLine.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/types.h>

class tst_ProgramStart : public QObject {
    Q_OBJECT

private:
    static QProcessEnvironment withoutDisplay()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        return environment;
    }

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

private slots:
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
        QTest::newRow("nothing") << QStringList{} << "" << "" << "" << "auto" << "" << "" << false;
        QTest::newRow("option and value")
            << QStringList{"--midi-backend", "ALSA"} << "" << "" << "alsa" << "alsa" << "" << "" << false;
        QTest::newRow("environment") << QStringList{} << "loopback" << "" << "" << "loopback" << "" << "" << false;
        QTest::newRow("option wins")
            << QStringList{"--midi-backend=alsa"} << "jack" << "" << "alsa" << "alsa" << "" << "" << false;
        QTest::newRow("unknown environment word")
            << QStringList{} << "coremidi" << "" << "" << "auto" << "" << "" << true;
        QTest::newRow("option without value")
            << QStringList{"--midi-backend"} << "" << "" << "" << "auto" << "" << "--midi-backend" << false;
        QTest::newRow("two projects") << QStringList{"a", "b"} << "" << "a" << "" << "auto" << "" << "b" << false;
        QTest::newRow("file named like an option")
            << QStringList{"--", "-odd.tulvarmidi"} << "" << "-odd.tulvarmidi" << "" << "auto" << "" << "" << false;
        QTest::newRow("platform with its value, then a project")
            << QStringList{"-platform", "offscreen", "song.tulvarmidi"} << "" << "song.tulvarmidi" << "" << "auto"
            << "offscreen" << "" << false;
        QTest::newRow("two dashes")
            << QStringList{"--platform", "xcb", "--midi-backend=loopback"} << "" << "" << "loopback" << "loopback"
            << "xcb" << "" << false;
        QTest::newRow("style attached, reverse")
            << QStringList{"-style=Fusion", "-reverse", "a"} << "" << "a" << "" << "auto" << "" << "" << false;
        QTest::newRow("Qt option without its value")
            << QStringList{"-stylesheet"} << "" << "" << "" << "auto" << "" << "-stylesheet" << false;
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

    // Each ends at once with its documented output and exit code, none of them needing a display.
    void argumentsAndMissingDisplayEndAsDocumented_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("display");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("version") << QStringList{"--version"} << "" << 0 << "Tulvar MIDI 1.4.1\n" << "";
        QTest::newRow("help") << QStringList{"--help"} << "" << 0 << "Usage: tulvar-midi" << "";
        QTest::newRow("wrong argument") << QStringList{"--midi-backend=coremidi"} << "" << 2 << "" << "coremidi";
        QTest::newRow("no display named") << QStringList{} << "" << 1 << "" << "no display found";
        // Named but without a server: Qt itself would abort.
        QTest::newRow("unreachable display") << QStringList{} << ":4242" << 1 << "" << "no display found";
    }

    void argumentsAndMissingDisplayEndAsDocumented()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, display);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcessEnvironment environment = withoutDisplay();
        if (!display.isEmpty()) {
            environment.insert(QStringLiteral("DISPLAY"), display);
        }
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TULVAR_MIDI_PROGRAM), arguments);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        const QString standardOut = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString standardError = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(out.isEmpty() || standardOut.startsWith(out), qPrintable(standardOut));
        QVERIFY2(standardError.contains(err), qPrintable(standardError));
        // One clear line, not Qt's abort text.
        QVERIFY(exitCode != 1 || standardError.count(QLatin1Char('\n')) == 1);
        for (char const* option : {"--midi-backend=NAME", "-platform", "-style", "-stylesheet", "-reverse"}) {
            QVERIFY2(arguments != QStringList{"--help"} || standardOut.contains(QLatin1String(option)), option);
        }
    }

    // Started with Qt's own -platform option (no display needed then), ended by a signal: the
    // program ends as File > Quit ends it, writing the layout and the preferences.
    void quitSignalsEndTheProgramCleanly_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }

    void quitSignalsEndTheProgramCleanly()
    {
        QFETCH(int, signalNumber);
        QTemporaryDir home;
        QVERIFY(home.isValid());
        QProcessEnvironment environment = withoutDisplay();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TULVAR_MIDI_PROGRAM),
                      {QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--midi-backend=loopback")});
        QVERIFY(process.waitForStarted(30000));
        bool const ready = QTest::qWaitFor(
            [&] { return catchesSignal(process.processId(), signalNumber) || process.state() != QProcess::Running; },
            30000);
        QVERIFY2(ready && process.state() == QProcess::Running, process.readAllStandardError().constData());
        ::kill(pid_t(process.processId()), signalNumber);
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
            QFAIL("the program did not end");
        }
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QSettings const settings(home.path() + QStringLiteral("/config/tulvar-midi/TulvarMIDI.ini"),
                                 QSettings::IniFormat);
        QVERIFY(settings.childGroups().contains(QStringLiteral("Preferences")));
        QVERIFY(settings.childGroups().contains(QStringLiteral("SavePosition")));
    }
};

QTEST_GUILESS_MAIN(tst_ProgramStart)
#include "tst_ProgramStart.moc"
