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
    struct Run {
        int exitCode;
        QProcess::ExitStatus status;
        QString out;
        QString err;
    };

    static Run run(QStringList const& arguments, QProcessEnvironment const& environment)
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TULVAR_MIDI_PROGRAM), arguments);
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
        }
        return {process.exitCode(), process.exitStatus(), QString::fromLocal8Bit(process.readAllStandardOutput()),
                QString::fromLocal8Bit(process.readAllStandardError())};
    }

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
    void versionNamesTheProgram()
    {
        Run const result = run({QStringLiteral("--version")}, withoutDisplay());
        QCOMPARE(result.status, QProcess::NormalExit);
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, QStringLiteral("Tulvar MIDI 1.4.1\n"));
    }

    void helpWorksWithoutADisplay()
    {
        Run const result = run({QStringLiteral("--help")}, withoutDisplay());
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.out.startsWith(QStringLiteral("Usage: tulvar-midi")));
        QVERIFY(result.out.contains(QStringLiteral("--midi-backend=NAME")));
    }

    void wrongArgumentsAreAUsageError()
    {
        Run const result = run({QStringLiteral("--midi-backend=coremidi")}, withoutDisplay());
        QCOMPARE(result.status, QProcess::NormalExit);
        QCOMPARE(result.exitCode, 2);
        QVERIFY(result.err.contains(QStringLiteral("coremidi")));
    }

    void helpNamesQtsOptionsToo()
    {
        Run const result = run({QStringLiteral("--help")}, withoutDisplay());
        for (char const* option : {"-platform", "-style", "-stylesheet", "-reverse"}) {
            QVERIFY2(result.out.contains(QLatin1String(option)), option);
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

    void noDisplayIsOneClearLine_data()
    {
        QTest::addColumn<QString>("display");
        QTest::newRow("none named") << QString();
        // A display that is named but has no server: Qt itself would abort.
        QTest::newRow("unreachable") << QStringLiteral(":4242");
    }

    void noDisplayIsOneClearLine()
    {
        QFETCH(QString, display);
        QProcessEnvironment environment = withoutDisplay();
        if (!display.isEmpty()) {
            environment.insert(QStringLiteral("DISPLAY"), display);
        }
        Run const result = run({}, environment);
        QCOMPARE(result.status, QProcess::NormalExit);
        QCOMPARE(result.exitCode, 1);
        QStringList const lines = result.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.first().contains(QStringLiteral("no display found")));
    }
};

QTEST_GUILESS_MAIN(tst_ProgramStart)
#include "tst_ProgramStart.moc"
