#include "testkit/CliRunner.h"
#include "testkit/FileBytes.h"
#include "midi/jack/JackPeerClient.h"
#include "testkit/JackTestServer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <csignal>
#include <sys/types.h>

// Two tulvar-midi-cli processes on a private JACK server: one monitors, the other sends to the
// monitor's input port.
class CliOverJackTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_server.start();
        TULVAR_REQUIRE_JACK(m_server);
        qputenv("TULVAR_MIDI_BACKEND", "jack");
        m_peer = std::make_unique<JackPeerClient>("tulvar-peer");
        QVERIFY(m_peer->isOpen());
    }

    void cleanupTestCase()
    {
        m_peer.reset();
        m_server.stop();
    }

    // Every message kind, then a large exclusive and a burst, from a file.
    void everyMessageKindALargeExclusiveAndABurstArriveIntact()
    {
        QTemporaryDir dir;
        QByteArray exclusive(16384, '\0');
        exclusive[0] = char(0xF0);
        for (int i = 1; i < exclusive.size() - 1; ++i) {
            exclusive[i] = char(i * 7 % 128);
        }
        exclusive[exclusive.size() - 1] = char(0xF7);
        constexpr int BurstCount = 2000;
        QByteArray dump;
        QList<QByteArray> expected;
        for (const char* kind : {"80 3C 00", "90 3C 40", "A0 3C 10", "B0 07 64", "C0 05", "D0 20", "E0 00 40",
                                 "F1 21", "F2 10 00", "F3 02", "F6", "F8", "FA", "FB", "FC", "FE", "FF"}) {
            dump += QByteArray::fromHex(kind);
            expected += kind;
        }
        dump += exclusive;
        expected += hexOf(exclusive);
        for (int i = 0; i < BurstCount; ++i) {
            QByteArray message;
            message.append(char(0x90 | (i % 16))).append(char(i % 128)).append(char(i / 16 % 128));
            dump += message;
            expected += hexOf(message);
        }
        const QString input = dir.filePath("dump.syx");
        const QString output = dir.filePath("received.syx");
        QVERIFY(writeFileBytes(input, dump));

        QProcess monitor;
        startMonitor(monitor, {"--count", QString::number(expected.size()), "--json", "--syx", output});
        QCOMPARE(send({"--file", input}), 0);
        const CliRun run = finishCli(monitor);
        QCOMPARE(run.status, 0);
        QList<QByteArray> received;
        for (QByteArray const& line : run.lines()) {
            QJsonParseError error;
            const QJsonObject object = QJsonDocument::fromJson(line, &error).object();
            QCOMPARE(error.error, QJsonParseError::NoError);
            QCOMPARE(object.value("line").toString(), object.value("bytes").toString());
            received += object.value("bytes").toString().toLatin1();
        }
        QCOMPARE(received.size(), expected.size());
        QVERIFY(received == expected);
        QVERIFY(readFileBytes(output) == exclusive);
    }

    void interruptEndsCleanlyWithWhatArrived()
    {
        QTemporaryDir dir;
        const QString output = dir.filePath("received.syx");
        QProcess monitor;
        startMonitor(monitor, {"--syx", output});
        QCOMPARE(send({"F0 41 10 42 12 40 00 7F 00 41 F7", "B0 07 64"}), 0);
        QByteArray out;
        for (int i = 0; i < 600 && out.count('\n') < 2; ++i) {
            monitor.waitForReadyRead(100);
            out += monitor.readAllStandardOutput();
        }
        ::kill(pid_t(monitor.processId()), SIGINT);
        const CliRun run = finishCli(monitor);
        QCOMPARE(run.status, 0);
        QCOMPARE(out + run.out, QByteArray("F0 41 10 42 12 40 00 7F 00 41 F7\nB0 07 64\n"));
        QCOMPARE(readFileBytes(output).toHex(), QByteArray("f04110421240007f0041f7"));
    }

    void requestPrintsThePeersIdentityReply()
    {
        const QByteArray request = QByteArray::fromHex("f07e7f0601f7");
        const QByteArray reply = QByteArray::fromHex("f07e000602411000190000000100f7");
        QProcess process;
        startCli(process, {"request", "--to", m_peer->destinationName(), "--from", m_peer->sourceName(), "--timeout", "60",
                           "F0 7E 7F 06 01 F7"});
        QVERIFY(m_peer->waitForBytes(request.size()));
        QCOMPARE(m_peer->takeReceived(), request);
        QVERIFY(m_peer->send(reply));
        const CliRun run = finishCli(process);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, hexOf(reply) + '\n');
    }

private:
    static QByteArray hexOf(QByteArray const& bytes) { return bytes.toHex(' ').toUpper(); }

    // Starts a monitor of the peer's output and waits until it listens.
    void startMonitor(QProcess& monitor, QStringList const& options)
    {
        startCli(monitor, QStringList{"monitor", "--from", m_peer->sourceName(), "--timeout", "60"} + options);
        QVERIFY(waitUntilListening(monitor));
    }

    // Sends to the monitor's input port, which the sending process finds among its outputs.
    int send(QStringList const& what)
    {
        QString destination;
        for (QByteArray const& line : runCli({"list", "--json"}).lines()) {
            const QJsonObject object = QJsonDocument::fromJson(line).object();
            const QString name = object.value("name").toString();
            if (object.value("direction").toString() == "output" && name.endsWith(":InputPort")) {
                destination = name;
            }
        }
        if (destination.isEmpty()) {
            return -1;
        }
        return runCli(QStringList{"send", "--to", destination} + what).status;
    }

    JackTestServer m_server;
    std::unique_ptr<JackPeerClient> m_peer;
};

QTEST_GUILESS_MAIN(CliOverJackTest)
#include "tst_CliOverJack.moc"
