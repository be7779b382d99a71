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
