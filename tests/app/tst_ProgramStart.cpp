#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>

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
