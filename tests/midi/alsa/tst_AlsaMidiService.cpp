#include "AlsaPeerClient.h"
#include "RawMidiDevice.h"
#include "midi/ServiceTestKit.h"
#include "midi/alsa/AlsaMidiService.h"

#include <QtTest>

#include <memory>
#include <thread>

// What only the ALSA service does (the rest is the contract suite's), on a real sequencer: in the
// guest of scripts/alsa-vm.sh they must not skip (TULVAR_ALSA_GUEST); elsewhere they skip.

namespace {
MidiEndpointRef endpoint(int client, int port)
{
    return MidiEndpointRef(client * 256 + port);
}
}

class AlsaMidiServiceTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_service = std::make_unique<AlsaMidiService>();
        if (!m_service->isOpen()) {
            if (qEnvironmentVariableIsSet("TULVAR_ALSA_GUEST")) {
                QFAIL("the guest has no ALSA sequencer");
            }
            QSKIP("no ALSA sequencer here (/dev/snd/seq)");
        }
        m_ports = std::make_unique<ServicePorts>();
        QVERIFY(m_ports->open(*m_service));
        m_peer = std::make_unique<AlsaPeerClient>();
        QVERIFY(m_peer->isOpen());
    }

    void cleanup()
    {
        m_peer.reset();
        m_service.reset();
        m_ports.reset();
    }

    // Which ports the contract suite shows; here: each in its direction, never the system client's
    // (its "Timer" port is readable and writable), the unique ID client × 256 + port.
    void listsOtherClientsPortsOnly()
    {
        const MidiEndpointRef peerOut = endpoint(m_peer->clientId(), m_peer->outputPort());
        QCOMPARE(endpointNamed(*m_service, true, QStringLiteral("out")), peerOut);
        const MidiEndpointRef peerIn = endpoint(m_peer->clientId(), m_peer->inputPort());
        QCOMPARE(endpointNamed(*m_service, false, QStringLiteral("in")), peerIn);
        QCOMPARE(endpointNamed(*m_service, true, QStringLiteral("in")), InvalidPortRef);
        QCOMPARE(endpointNamed(*m_service, false, QStringLiteral("out")), InvalidPortRef);
        QCOMPARE(endpointNamed(*m_service, true, QStringLiteral("Timer")), InvalidPortRef);
        std::int32_t id = 0;
        QCOMPARE(m_service->getIntegerProperty(peerOut, MidiIntegerProperty::UniqueId, &id), 0);
        QCOMPARE(id, std::int32_t(peerOut));
    }

    void ownPortsAreNamedApart()
    {
        ServicePorts second;
        QVERIFY(second.open(*m_service));
        const int client = m_service->clientId();
        QCOMPARE(m_peer->portName(client, m_service->ownPortNumber(m_ports->input)), QStringLiteral("InputPort"));
        QCOMPARE(m_peer->portName(client, m_service->ownPortNumber(second.input)), QStringLiteral("InputPort 2"));
        QCOMPARE(m_peer->portName(client, m_service->ownPortNumber(m_ports->output)), QStringLiteral("OutputPort"));
        QCOMPARE(m_peer->portName(client, m_service->ownPortNumber(second.output)), QStringLiteral("OutputPort 2"));
    }

    void rawMidiPortGetsEverythingInOrder()
    {
        RawMidiDevice device(QStringLiteral("/dev/snd/midiC0D0"));
        QVERIFY(device.isOpen());
        const MidiEndpointRef destination = endpointNamed(*m_service, false, QStringLiteral("VirMIDI 0-0"));
        QVERIFY(destination != InvalidPortRef);
        QCOMPARE(m_service->connectDestination(m_ports->output, destination), 0);
        // Neighbouring messages never share a status byte: the raw-MIDI port writes running status.
        QByteArray expected;
        for (int i = 0; i <= 2001; ++i) {
            const QByteArray message = i == 2001 ? sysEx(16384) : bytes({0x90 | (i % 16), i % 128, 1 + i % 127});
            QCOMPARE(m_ports->send(destination, message), 0);
            expected += message;
        }
        QVERIFY(device.waitForBytes(expected.size()));
        QCOMPARE(device.takeReceived(), expected);
        QCOMPARE(m_service->disconnectDestination(m_ports->output, destination), 0);
    }

    void exclusiveFromRawMidiArrivesWholeInTheKernelsChunks()
    {
        RawMidiDevice device(QStringLiteral("/dev/snd/midiC0D1"));
        QVERIFY(device.isOpen());
        const MidiEndpointRef source = endpointNamed(*m_service, true, QStringLiteral("VirMIDI 0-1"));
        QVERIFY(source != InvalidPortRef);
        int connectionContext = 0;
        QCOMPARE(m_service->connectSource(m_ports->input, source, &connectionContext), 0);
        const QByteArray dump = sysEx(16384);
        QVERIFY(device.write(dump));
        QVERIFY(m_ports->recorder.waitForBytes(dump.size()));
        QCOMPARE(m_ports->recorder.takeReceived(), dump);
        QVERIFY(m_ports->recorder.contexts().size() > 1);
        QCOMPARE(m_ports->recorder.contexts().count(&connectionContext), m_ports->recorder.contexts().size());
        // Stamped when read from the sequencer.
        QVERIFY(m_ports->recorder.timesStamped());
    }

    void outsideSubscriberOfTheOutputPortReceives()
    {
        // As aconnect or a patchbay would connect it.
        AlsaPeerClient listener("Tulvar Listener");
        QVERIFY(listener.subscribeFrom(m_service->clientId(), m_service->ownPortNumber(m_ports->output)));
        const MidiEndpointRef destination = endpoint(m_peer->clientId(), m_peer->inputPort());
        QCOMPARE(m_service->connectDestination(m_ports->output, destination), 0);
        const QByteArray message = bytes({0x90, 0x40, 0x7F}) + sysEx(1000);
        QCOMPARE(m_ports->send(destination, message), 0);
        QVERIFY(listener.waitForBytes(message.size()));
        QCOMPARE(listener.takeReceived(), message);
        QVERIFY(m_peer->waitForBytes(message.size()));
        QCOMPARE(m_peer->takeReceived(), message);
    }

    void sourceHeldExclusivelyCannotBeOpened()
    {
        AlsaPeerClient holder("Tulvar Holder");
        QVERIFY(holder.subscribeFrom(m_peer->clientId(), m_peer->outputPort(), true));
        QVERIFY(m_service->connectSource(m_ports->input, endpoint(m_peer->clientId(), m_peer->outputPort()), nullptr) != 0);
    }

    // Beyond the contract's sends: the reader holds no lock a port change needs.
    void readProcWaitingForRoomBlocksNoPortChange()
    {
        HeldReader reader;
        MidiPortRef held = InvalidPortRef;
        QCOMPARE(m_service->createInputPort(m_ports->client, QStringLiteral("InputPort"), &HeldReader::readProc, &reader,
                                            &held),
                 0);
        const MidiEndpointRef source = endpoint(m_peer->clientId(), m_peer->outputPort());
        QCOMPARE(m_service->connectSource(held, source, nullptr), 0);
        reader.setHeld(true);
        QVERIFY(m_peer->send(bytes({0x90, 0x40, 0x7F})));
        QVERIFY(reader.waitUntilInside());
        QCOMPARE(m_service->connectSource(m_ports->input, source, nullptr), 0);
        QCOMPARE(m_service->disconnectSource(m_ports->input, source), 0);
        MidiPortRef another = InvalidPortRef;
        QCOMPARE(m_service->createOutputPort(m_ports->client, QStringLiteral("OutputPort"), &another), 0);
        QCOMPARE(m_service->disposePort(another), 0);
        reader.setHeld(false);
        QCOMPARE(m_service->disposePort(held), 0);
    }

    void destinationVanishingMidSendFailsTheSend_data()
    {
        QTest::addColumn<bool>("wholeClientExits");
        QTest::newRow("port removed") << false;
        QTest::newRow("client exits") << true;
    }

    void destinationVanishingMidSendFailsTheSend()
    {
        QFETCH(bool, wholeClientExits);
        // A program that has stopped reading: its pool fills and the send waits for room.
        AlsaPeerClient stuck("Tulvar Stuck", false);
        const MidiEndpointRef destination = endpoint(stuck.clientId(), stuck.inputPort());
        QCOMPARE(m_service->connectDestination(m_ports->output, destination), 0);
        MidiStatus status = 0;
        std::thread sender([&] { status = m_ports->send(destination, sysEx(16384)); });
        QTest::qWait(200);
        if (wholeClientExits) {
            stuck.close();
        } else {
            stuck.removeInput();
        }
        sender.join();
        QVERIFY(status != 0);
        QVERIFY(m_ports->send(destination, bytes({0x90, 0x40, 0x7F})) != 0);
        // The program carries on with another destination.
        const MidiEndpointRef other = endpoint(m_peer->clientId(), m_peer->inputPort());
        QCOMPARE(m_service->connectDestination(m_ports->output, other), 0);
        QCOMPARE(m_ports->send(other, bytes({0x90, 0x40, 0x7F})), 0);
        QVERIFY(m_peer->waitForBytes(3));
    }

private:
    std::unique_ptr<AlsaMidiService> m_service;
    std::unique_ptr<ServicePorts> m_ports;
    std::unique_ptr<AlsaPeerClient> m_peer;
};

QTEST_GUILESS_MAIN(AlsaMidiServiceTest)
#include "tst_AlsaMidiService.moc"
