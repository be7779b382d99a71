#include "testkit/CliRunner.h"
#include "testkit/FileBytes.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

// What needs no second process: the built-in loopback delivers "Loopback A" back to "Loopback A".
class CliCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A server that cannot be there, so that a JACK service cannot be opened.
        qputenv("JACK_DEFAULT_SERVER", "tulvar-cli-no-such-server");
        qputenv("TULVAR_MIDI_BACKEND", "loopback");
    }

    void exitStatusSaysWhatWentWrong_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QString a = QStringLiteral("Loopback A");
        const QString b = QStringLiteral("Loopback B");
        QTest::newRow("help") << QStringList{"--help"} << 0 << QString();
        QTest::newRow("sent") << QStringList{"send", "--to", a, "f0 7e 7f,06 01 F7 // identity", "90 3C 40"} << 0
                              << QString();
        QTest::newRow("no command") << QStringList{} << 2 << "a command is missing";
        QTest::newRow("no destination") << QStringList{"send", "90 3C 40"} << 2 << "send needs --to";
        QTest::newRow("option of another command") << QStringList{"list", "--raw"} << 2 << "--raw does not belong";
        QTest::newRow("unknown backend") << QStringList{"--midi-backend=coremidi", "list"} << 2 << "coremidi";
        QTest::newRow("unknown output lists the outputs")
            << QStringList{"send", "--to", "Nowhere", "90 3C 40"} << 2 << "  output\t1\tLoopback B\t";
        QTest::newRow("unknown input lists the inputs")
            << QStringList{"monitor", "--from", "Nowhere"} << 2 << "  input\t0\tLoopback A\t";
        QTest::newRow("text error names its argument as the line")
            << QStringList{"send", "--to", a, "90 3C 40", "80 3G 00"} << 3
            << "Line 2, column 5: \"G\" is not a hexadecimal digit.";
        QTest::newRow("lone digit") << QStringList{"send", "--to", a, "90 3C 4"} << 3
                                    << "Line 1, column 7: a byte needs two hexadecimal digits.";
        QTest::newRow("service cannot be opened") << QStringList{"--midi-backend=jack", "list"} << 4
                                                  << "the jack MIDI service cannot be opened";
        QTest::newRow("no answer") << QStringList{"request", "--to", a, "--from", b, "--timeout", "0.5", "F0 7E 7F 06 01 F7"}
                                   << 1 << "no system exclusive came back";
        QTest::newRow("fewer messages than counted")
            << QStringList{"monitor", "--from", b, "--count", "1", "--timeout", "0.5"} << 1 << "0 of 1 messages";
    }

    void exitStatusSaysWhatWentWrong()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        const CliRun run = runCli(arguments);
        QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
        QCOMPARE(run.status, status);
    }

    void listJsonLinesParse()
    {
        const CliRun run = runCli({"list", "--json"});
        QCOMPARE(run.status, 0);
        QStringList seen;
        for (QByteArray const& line : run.lines()) {
            QJsonParseError error;
            const QJsonObject object = QJsonDocument::fromJson(line, &error).object();
            QCOMPARE(error.error, QJsonParseError::NoError);
            QVERIFY(object.value("uniqueId").isDouble());
            seen << QStringLiteral("%1 %2 %3").arg(object.value("direction").toString())
                        .arg(object.value("index").toInt()).arg(object.value("name").toString());
        }
        QCOMPARE(seen, (QStringList{"input 0 Loopback A", "input 1 Loopback B", "output 0 Loopback A",
                                    "output 1 Loopback B"}));
    }

    void sendTakesTextAndSyxFiles()
    {
        QTemporaryDir dir;
        const QString text = dir.filePath("dump.txt");
        const QString syx = dir.filePath("dump.SYX");
        QVERIFY(writeFileBytes(text, "// a comment\nF0 41 10 42 12 F7\n90 3c 40\n"));
        QVERIFY(writeFileBytes(syx, QByteArray::fromHex("f041104212f7")));
        QCOMPARE(runCli({"send", "--to", "Loopback A", "--file", text}).status, 0);
        QCOMPARE(runCli({"send", "--to", "Loopback A", "--raw", "--file", syx}).status, 0);

        QVERIFY(writeFileBytes(text, "F0 41\n10 x2 F7\n"));
        const CliRun run = runCli({"send", "--to", "Loopback A", "--file", text});
        QCOMPARE(run.status, 3);
        QVERIFY2(run.err.contains("dump.txt: Line 2, column 4"), run.err.constData());
    }
};

QTEST_GUILESS_MAIN(CliCommandsTest)
#include "tst_CliCommands.moc"
