#include "AlsaPeerClient.h"
#include "midi/alsa/AlsaMidiService.h"

#include <QtTest>

#include <condition_variable>
#include <mutex>

// These tests need the ALSA sequencer (/dev/snd/seq); where it is missing they report themselves
// skipped. The conversion between bytes and events is tested everywhere in tst_AlsaEventCodec.

namespace {
constexpr int WaitMs = 30000;

class Received {
public:
    static void readProc(const MidiPacket* packets, unsigned int count, void* readProcRefCon, void* srcConnRefCon)
    {
        auto* self = static_cast<Received*>(readProcRefCon);
        std::lock_guard<std::mutex> lock(self->m_mutex);
        for (unsigned int i = 0; i < count; ++i) {
            self->m_bytes.append(reinterpret_cast<const char*>(packets[i].data), packets[i].length);
        }
        self->m_context = srcConnRefCon;
        self->m_changed.notify_all();
    }

    bool waitForBytes(int count)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(WaitMs), [&] { return m_bytes.size() >= count; });
    }
    QByteArray bytes()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_bytes;
    }
    void* context()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_context;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    QByteArray m_bytes;
    void* m_context = nullptr;
};

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int value : values) {
        result.append(char(value));
    }
    return result;
}

QByteArray sysEx(int length)
{
    QByteArray result(length, '\0');
    result[0] = char(0xF0);
    for (int i = 1; i < length - 1; ++i) {
        result[i] = char((i * 3) & 0x7F);
    }
    result[length - 1] = char(0xF7);
    return result;
}

int indexOf(AlsaMidiService& service, bool sources, MidiEndpointRef wanted)
{
    const unsigned int count = sources ? service.getNumberOfSources() : service.getNumberOfDestinations();
    for (unsigned int i = 0; i < count; ++i) {
        if ((sources ? service.getSource(i) : service.getDestination(i)) == wanted) {
            return int(i);
        }
    }
    return -1;
}

MidiEndpointRef endpoint(int client, int port)
{
    return MidiEndpointRef(client * 256 + port);
}
}

class AlsaMidiServiceTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void listsOtherClientsPortsOnly();
    void receivesEveryMessageKindWholeAndInOrder();
    void sendsBurstAndLongSysExIntact();
    void closesCleanlyAfterThePeersPortDisappeared();

private:
    void createPorts(AlsaMidiService& service, Received* received);

    MidiClientRef m_client = MidiNullRef;
    MidiPortRef m_input = MidiNullRef;
    MidiPortRef m_output = MidiNullRef;
};

void AlsaMidiServiceTest::init()
{
    if (!AlsaMidiService().isOpen()) {
        QSKIP("no ALSA sequencer here (/dev/snd/seq)");
    }
}

void AlsaMidiServiceTest::createPorts(AlsaMidiService& service, Received* received)
{
    QCOMPARE(service.createClient(QStringLiteral("ClientName"), &m_client), 0);
    QCOMPARE(service.createInputPort(m_client, QStringLiteral("InputPort"), &Received::readProc, received, &m_input), 0);
    QCOMPARE(service.createOutputPort(m_client, QStringLiteral("OutputPort"), &m_output), 0);
}

void AlsaMidiServiceTest::listsOtherClientsPortsOnly()
{
    AlsaMidiService service;
    Received received;
    createPorts(service, &received);
    AlsaPeerClient peer;
    QVERIFY(peer.isOpen());
    const MidiEndpointRef peerOut = endpoint(peer.clientId(), peer.outputPort());
    const MidiEndpointRef peerIn = endpoint(peer.clientId(), peer.inputPort());
    QVERIFY(indexOf(service, true, peerOut) >= 0);
    QVERIFY(indexOf(service, false, peerIn) >= 0);
    QCOMPARE(indexOf(service, true, peerIn), -1);
    QCOMPARE(indexOf(service, false, peerOut), -1);
    for (unsigned int i = 0; i < service.getNumberOfSources(); ++i) {
        const int client = int(service.getSource(i) / 256);
        QVERIFY(client != 0 && client != service.clientId());
    }
    for (unsigned int i = 0; i < service.getNumberOfDestinations(); ++i) {
        const int client = int(service.getDestination(i) / 256);
        QVERIFY(client != 0 && client != service.clientId());
    }
    QString name;
    QCOMPARE(service.getStringProperty(peerOut, MidiStringProperty::Name, &name), 0);
    QCOMPARE(name, QStringLiteral("out"));
    QCOMPARE(service.getStringProperty(peerOut, MidiStringProperty::DisplayName, &name), 0);
    QCOMPARE(name, QStringLiteral("Tulvar Peer: out"));
    std::int32_t id = 0;
    QCOMPARE(service.getIntegerProperty(peerOut, MidiIntegerProperty::UniqueId, &id), 0);
    QCOMPARE(id, std::int32_t(peer.clientId() * 256 + peer.outputPort()));
}

void AlsaMidiServiceTest::receivesEveryMessageKindWholeAndInOrder()
{
    AlsaMidiService service;
    Received received;
    createPorts(service, &received);
    AlsaPeerClient peer;
    int connectionContext = 0;
    QCOMPARE(service.connectSource(m_input, endpoint(peer.clientId(), peer.outputPort()), &connectionContext), 0);

    const QList<QByteArray> messages = {
        bytes({0x90, 0x3C, 0x64}), bytes({0x80, 0x3C, 0x00}), bytes({0xA1, 0x3C, 0x10}), bytes({0xB2, 0x07, 0x7F}),
        bytes({0xC3, 0x05}), bytes({0xD4, 0x22}), bytes({0xE5, 0x00, 0x40}), bytes({0xF1, 0x21}),
        bytes({0xF2, 0x10, 0x20}), bytes({0xF3, 0x03}), bytes({0xF6}), bytes({0xFA}), bytes({0xFB}),
        bytes({0xFC}), bytes({0xFE}), bytes({0xFF}), sysEx(16384), bytes({0xF8})};
    QByteArray expected;
    for (const QByteArray& message : messages) {
        QVERIFY(peer.send(message));
        expected += message;
    }
    QVERIFY(received.waitForBytes(expected.size()));
    QCOMPARE(received.bytes(), expected);
    QCOMPARE(received.context(), static_cast<void*>(&connectionContext));
    QCOMPARE(service.disconnectSource(m_input, endpoint(peer.clientId(), peer.outputPort())), 0);
}

void AlsaMidiServiceTest::sendsBurstAndLongSysExIntact()
{
    AlsaMidiService service;
    createPorts(service, nullptr);
    AlsaPeerClient peer;
    const MidiEndpointRef destination = endpoint(peer.clientId(), peer.inputPort());
    QByteArray expected;
    // In smaller bursts than the peer's input pool holds: the sequencer drops what a slow
    // reader has no room for, and this test reads only after sending.
    for (int i = 0; i < 500; ++i) {
        const QByteArray message = bytes({0x90 | (i % 16), i % 128, 1 + i % 127});
        const MidiPacket packet{0, std::uint16_t(message.size()), reinterpret_cast<const unsigned char*>(message.constData())};
        QCOMPARE(service.send(m_output, destination, packet), 0);
        expected += message;
    }
    QCOMPARE(peer.receive(expected.size()), expected);
    const QByteArray dump = sysEx(16384);
    const MidiPacket packet{0, std::uint16_t(dump.size()), reinterpret_cast<const unsigned char*>(dump.constData())};
    QCOMPARE(service.send(m_output, destination, packet), 0);
    QCOMPARE(peer.receive(dump.size()), dump);
}

void AlsaMidiServiceTest::closesCleanlyAfterThePeersPortDisappeared()
{
    AlsaMidiService service;
    Received received;
    createPorts(service, &received);
    AlsaPeerClient peer;
    const MidiEndpointRef source = endpoint(peer.clientId(), peer.outputPort());
    QCOMPARE(service.connectSource(m_input, source, &received), 0);
    peer.removeOutput();
    QCOMPARE(indexOf(service, true, source), -1);
    std::int32_t id = 0;
    QVERIFY(service.getIntegerProperty(source, MidiIntegerProperty::UniqueId, &id) != 0);
    QVERIFY(service.disconnectSource(m_input, source) != 0);
    QCOMPARE(service.disposePort(m_input), 0);
    QCOMPARE(service.disposePort(m_output), 0);
}

QTEST_GUILESS_MAIN(AlsaMidiServiceTest)
#include "tst_AlsaMidiService.moc"
