#include "JackPeerClient.h"
#include "testkit/JackTestServer.h"
#include "midi/MidiServiceFactory.h"
#include "midi/ServiceTestKit.h"
#include "midi/alsa/AlsaMidiService.h"
#include "midi/jack/JackMidiService.h"

#include <QtTest>

#include <jack/metadata.h>

#include <cstdio>
#include <memory>
#include <unistd.h>

// What only the JACK service does, against a private server and a peer client; what every
// service promises is in the contract suite.

namespace {
// Runs create() with standard error captured; counts the program's own notes in it (anything
// else there comes from a library).
std::unique_ptr<MidiService> createCountingNotes(const QString& choice, QString* used, int* notes)
{
    QTemporaryFile capture;
    capture.open();
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    dup2(capture.handle(), STDERR_FILENO);
    auto service = MidiServiceFactory::create(choice, used);
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    capture.seek(0);
    *notes = 0;
    for (const QByteArray& line : capture.readAll().split('\n')) {
        *notes += line.startsWith("Tulvar MIDI:") ? 1 : 0;
    }
    return service;
}
}

class JackMidiServiceTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        if (!m_server.isRunning()) {
            m_server.start();
        }
        TULVAR_REQUIRE_JACK(m_server);
        m_service = std::make_unique<JackMidiService>();
        m_ports = std::make_unique<ServicePorts>();
        QVERIFY(m_service->isOpen() && m_ports->open(*m_service));
        m_peer = std::make_unique<JackPeerClient>();
        QVERIFY(m_peer->isOpen());
    }

    void cleanup()
    {
        m_service.reset();
        m_ports.reset();
        m_peer.reset();
    }

    void ownPortsAreNamedUniquely()
    {
        // JACK refuses a second port of the same name in one client.
        ServicePorts more;
        QVERIFY(more.open(*m_service));
        QCOMPARE(m_service->ownPortName(more.input), QStringLiteral("Tulvar MIDI:InputPort 2"));
        QCOMPARE(m_service->ownPortName(more.output), QStringLiteral("Tulvar MIDI:OutputPort 2"));
    }

    // The contract suite shows them distinct and stable; here a port that comes back under the same
    // name is a new endpoint.
    void uniqueIdsStayWhilePortsExist()
    {
        auto idOf = [&](const QString& name) {
            std::int32_t id = -1;
            m_service->getIntegerProperty(endpointNamed(*m_service, true, name), MidiIntegerProperty::UniqueId, &id);
            return int(id);
        };
        const int firstId = idOf(m_peer->sourceName());
        int secondId = -1;
        {
            JackPeerClient second("tulvar-peer-b");
            secondId = idOf(second.sourceName());
        }
        QVERIFY(firstId > 0 && secondId > 0 && firstId != secondId);
        QCOMPARE(idOf(m_peer->sourceName()), firstId);
        JackPeerClient again("tulvar-peer-b");
        const int newId = idOf(again.sourceName());
        QVERIFY(newId > 0 && newId != secondId && newId != firstId);
    }

    void displayNamePrefersPrettyNameThenAlias()
    {
        auto displayName = [&] {
            QString name;
            m_service->getStringProperty(endpointNamed(*m_service, true, m_peer->sourceName()),
                                         MidiStringProperty::DisplayName, &name);
            return name;
        };
        QCOMPARE(displayName(), m_peer->sourceName());
        QCOMPARE(jack_port_set_alias(m_peer->outputPort(), "Synth Out"), 0);
        QCOMPARE(displayName(), QStringLiteral("Synth Out"));

        jack_client_t* metadataClient = jack_client_open("tulvar-metadata", JackNoStartServer, nullptr);
        QVERIFY(metadataClient);
        const jack_uuid_t uuid = jack_port_uuid(m_peer->outputPort());
        QCOMPARE(jack_set_property(metadataClient, uuid, JACK_METADATA_PRETTY_NAME, "Keyboard Controller", nullptr), 0);
        QCOMPARE(displayName(), QStringLiteral("Keyboard Controller"));
        jack_remove_property(metadataClient, uuid, JACK_METADATA_PRETTY_NAME);
        jack_client_close(metadataClient);
    }

    // Patchbays show the choice at once, and the first message does not wait for a connection.
    void outputConnectsWhenChosenAndDisconnectsWhenClosed()
    {
        const MidiEndpointRef destination = endpointNamed(*m_service, false, m_peer->destinationName());
        QCOMPARE(m_service->connectDestination(m_ports->output, destination), 0);
        QCOMPARE(jack_port_connected(m_peer->inputPort()), 1);
        QCOMPARE(m_service->disconnectDestination(m_ports->output, destination), 0);
        QCOMPARE(jack_port_connected(m_peer->inputPort()), 0);
    }

    void backendChoiceTakesARunningServerOnly_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<bool>("serverRuns");
        QTest::addColumn<QString>("used");
        const bool sequencer = AlsaMidiService().isOpen();
        QTest::newRow("jack, server running") << "jack" << true << "jack";
        QTest::newRow("auto, server running") << "auto" << true << (sequencer ? "alsa" : "jack");
        QTest::newRow("jack, no server") << "jack" << false << "loopback";
        if (!sequencer) {
            QTest::newRow("auto, no server") << "auto" << false << "loopback";
        }
    }

    void backendChoiceTakesARunningServerOnly()
    {
        QFETCH(QString, choice);
        QFETCH(bool, serverRuns);
        QFETCH(QString, used);
        if (!serverRuns) {
            cleanup();
            m_server.stop();
        }
        QString usedNow;
        int notes = -1;
        const std::unique_ptr<MidiService> service = createCountingNotes(choice, &usedNow, &notes);
        QVERIFY(service);
        QCOMPARE(usedNow, used);
        // One line on standard error says that the choice fell back.
        QCOMPARE(notes, used == QStringLiteral("loopback") ? 1 : 0);
        // Never one started for the program.
        QCOMPARE(JackTestServer::runningServers(true), serverRuns ? 1 : 0);
    }

private:
    JackTestServer m_server;
    std::unique_ptr<JackMidiService> m_service;
    std::unique_ptr<ServicePorts> m_ports;
    std::unique_ptr<JackPeerClient> m_peer;
};

QTEST_GUILESS_MAIN(JackMidiServiceTest)
#include "tst_JackMidiService.moc"
