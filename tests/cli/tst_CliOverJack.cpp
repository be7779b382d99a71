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

    // A burst from a file arrives whole and in order. Message kinds and long exclusives crossing
    // the server are the JACK service's, shown by its contract suite.
    void aBurstFromAFileArrivesIntactAsJsonLines()
    {
        QTemporaryDir dir;
        QByteArray dump;
        QList<QByteArray> expected;
        for (int i = 0; i < 2000; ++i) {
            QByteArray message;
            message.append(char(0x90 | (i % 16))).append(char(i % 128)).append(char(i / 16 % 128));
            dump += message;
            expected += hexOf(message);
        }
        const QString input = dir.filePath("dump.syx");
        QVERIFY(writeFileBytes(input, dump));

        QProcess monitor;
        startMonitor(monitor, {"--count", QString::number(expected.size()), "--json"});
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

    // The reply, not the request, is printed, in the monitor's line format (with --detail here).
    void requestPrintsThePeersIdentityReply()
    {
        const QByteArray request = QByteArray::fromHex("f07e7f0601f7");
        const QByteArray reply = QByteArray::fromHex("f07e000602411000190000000100f7");
        QProcess process;
        startCli(process, {"request", "--to", m_peer->destinationName(), "--from", m_peer->sourceName(), "--timeout", "60",
                           "--detail", "F0 7E 7F 06 01 F7"});
        QVERIFY(m_peer->waitForBytes(request.size()));
        QCOMPARE(m_peer->takeReceived(), request);
        QVERIFY(m_peer->send(reply));
        const CliRun run = finishCli(process);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, "Port1 SysEx    " + hexOf(reply) + '\n');
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
