#include "AlsaPeerClient.h"
#include "midi/ServiceTestKit.h"
#include "midi/alsa/AlsaMidiService.h"

#include <QtTest>

#include <memory>

// These tests need the ALSA sequencer (/dev/snd/seq); where it is missing they report themselves
// skipped. The conversion between bytes and events is tested everywhere in tst_AlsaEventCodec.

namespace {
MidiEndpointRef endpoint(int client, int port)
{
    return MidiEndpointRef(client * 256 + port);
}

bool lists(AlsaMidiService& service, bool sources, MidiEndpointRef wanted)
{
    const unsigned int count = sources ? service.getNumberOfSources() : service.getNumberOfDestinations();
    for (unsigned int i = 0; i < count; ++i) {
        if ((sources ? service.getSource(i) : service.getDestination(i)) == wanted) {
            return true;
        }
    }
    return false;
}
}

class AlsaMidiServiceTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void listsOtherClientsPortsOnly();
    void receivesEveryMessageKindWholeAndInOrder();
    void sendsBurstAndLongSysExIntact();
    void closesCleanlyAfterThePeersPortDisappeared();

private:
    std::unique_ptr<AlsaMidiService> m_service;
    std::unique_ptr<ServicePorts> m_ports;
    std::unique_ptr<AlsaPeerClient> m_peer;
};

void AlsaMidiServiceTest::init()
{
    m_service = std::make_unique<AlsaMidiService>();
    if (!m_service->isOpen()) {
        QSKIP("no ALSA sequencer here (/dev/snd/seq)");
    }
    m_ports = std::make_unique<ServicePorts>();
    QVERIFY(m_ports->open(*m_service));
    m_peer = std::make_unique<AlsaPeerClient>();
    QVERIFY(m_peer->isOpen());
}

void AlsaMidiServiceTest::cleanup()
{
    m_peer.reset();
    m_service.reset();
    m_ports.reset();
}

void AlsaMidiServiceTest::listsOtherClientsPortsOnly()
{
    const MidiEndpointRef peerOut = endpoint(m_peer->clientId(), m_peer->outputPort());
    const MidiEndpointRef peerIn = endpoint(m_peer->clientId(), m_peer->inputPort());
    QVERIFY(lists(*m_service, true, peerOut));
    QVERIFY(lists(*m_service, false, peerIn));
    QVERIFY(!lists(*m_service, true, peerIn));
    QVERIFY(!lists(*m_service, false, peerOut));
    for (bool sources : {true, false}) {
        const unsigned int count = sources ? m_service->getNumberOfSources() : m_service->getNumberOfDestinations();
        for (unsigned int i = 0; i < count; ++i) {
            const int client = int((sources ? m_service->getSource(i) : m_service->getDestination(i)) / 256);
            QVERIFY(client != 0 && client != m_service->clientId());
        }
    }
    QString name;
    QCOMPARE(m_service->getStringProperty(peerOut, MidiStringProperty::Name, &name), 0);
    QCOMPARE(name, QStringLiteral("out"));
    QCOMPARE(m_service->getStringProperty(peerOut, MidiStringProperty::DisplayName, &name), 0);
    QCOMPARE(name, QStringLiteral("Tulvar Peer: out"));
    std::int32_t id = 0;
    QCOMPARE(m_service->getIntegerProperty(peerOut, MidiIntegerProperty::UniqueId, &id), 0);
    QCOMPARE(id, std::int32_t(peerOut));
}

void AlsaMidiServiceTest::receivesEveryMessageKindWholeAndInOrder()
{
    const MidiEndpointRef source = endpoint(m_peer->clientId(), m_peer->outputPort());
    int connectionContext = 0;
    QCOMPARE(m_service->connectSource(m_ports->input, source, &connectionContext), 0);
    QByteArray expected;
    for (const QByteArray& message : everyMessageKind() + QList<QByteArray>{sysEx(16384), bytes({0xF8})}) {
        QVERIFY(m_peer->send(message));
        expected += message;
    }
    // The sequencer hands on running status as whole messages.
    expected.insert(3, char(0x90));
    QVERIFY(m_ports->recorder.waitForBytes(expected.size()));
    QCOMPARE(m_ports->recorder.received(), expected);
    QCOMPARE(m_ports->recorder.contexts().last(), static_cast<void*>(&connectionContext));
    QCOMPARE(m_service->disconnectSource(m_ports->input, source), 0);
}

void AlsaMidiServiceTest::sendsBurstAndLongSysExIntact()
{
    const MidiEndpointRef destination = endpoint(m_peer->clientId(), m_peer->inputPort());
    QByteArray expected;
    // In smaller bursts than the peer's input pool holds: the sequencer drops what a slow
    // reader has no room for, and this test reads only after sending.
    for (int i = 0; i < 500; ++i) {
        const QByteArray message = bytes({0x90 | (i % 16), i % 128, 1 + i % 127});
        QCOMPARE(m_ports->send(destination, message), 0);
        expected += message;
    }
    QCOMPARE(m_peer->receive(expected.size()), expected);
    const QByteArray dump = sysEx(16384);
    QCOMPARE(m_ports->send(destination, dump), 0);
    QCOMPARE(m_peer->receive(dump.size()), dump);
}

void AlsaMidiServiceTest::closesCleanlyAfterThePeersPortDisappeared()
{
    const MidiEndpointRef source = endpoint(m_peer->clientId(), m_peer->outputPort());
    QCOMPARE(m_service->connectSource(m_ports->input, source, nullptr), 0);
    m_peer->removeOutput();
    QVERIFY(!lists(*m_service, true, source));
    std::int32_t id = 0;
    QVERIFY(m_service->getIntegerProperty(source, MidiIntegerProperty::UniqueId, &id) != 0);
    QVERIFY(m_service->disconnectSource(m_ports->input, source) != 0);
    QCOMPARE(m_service->disposePort(m_ports->input), 0);
    QCOMPARE(m_service->disposePort(m_ports->output), 0);
}

QTEST_GUILESS_MAIN(AlsaMidiServiceTest)
#include "tst_AlsaMidiService.moc"
