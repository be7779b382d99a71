#include "JackPeerClient.h"
#include "JackTestServer.h"
#include "midi/jack/JackMidiService.h"

#include <QtTest>

#include <jack/metadata.h>

#include <condition_variable>
#include <mutex>

namespace {
constexpr int WaitMs = 30000;

// What the service's read procedure delivered, for the test thread to wait on.
class Received {
public:
    static void readProc(const MidiPacket* packets, unsigned int count, void* readProcRefCon, void* srcConnRefCon)
    {
        auto* self = static_cast<Received*>(readProcRefCon);
        std::lock_guard<std::mutex> lock(self->m_mutex);
        for (unsigned int i = 0; i < count; ++i) {
            self->m_bytes.append(reinterpret_cast<const char*>(packets[i].data), packets[i].length);
            self->m_packets.append(QByteArray(reinterpret_cast<const char*>(packets[i].data), packets[i].length));
            self->m_timesStamped = self->m_timesStamped && packets[i].hostTime != 0;
        }
        self->m_contexts.append(srcConnRefCon);
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
    QList<QByteArray> packets()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_packets;
    }
    QList<void*> contexts()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_contexts;
    }
    bool timesStamped()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_timesStamped;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    QByteArray m_bytes;
    QList<QByteArray> m_packets;
    QList<void*> m_contexts;
    bool m_timesStamped = true;
};

QByteArray sysEx(int length)
{
    QByteArray bytes(length, '\0');
    bytes[0] = char(0xF0);
    for (int i = 1; i < length - 1; ++i) {
        bytes[i] = char((i * 7) & 0x7F);
    }
    bytes[length - 1] = char(0xF7);
    return bytes;
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int value : values) {
        result.append(char(value));
    }
    return result;
}

int indexOfName(JackMidiService& service, bool sources, const QString& name)
{
    const unsigned int count = sources ? service.getNumberOfSources() : service.getNumberOfDestinations();
    for (unsigned int i = 0; i < count; ++i) {
        QString value;
        const MidiEndpointRef ref = sources ? service.getSource(i) : service.getDestination(i);
        if (service.getStringProperty(ref, MidiStringProperty::Name, &value) == 0 && value == name) {
            return int(i);
        }
    }
    return -1;
}
}

class JackMidiServiceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void listsOtherClientsPortsOnly();
    void keepsUniqueIdsWhilePortsExist();
    void displayNamePrefersPrettyNameThenAlias();
    void receivesEveryMessageKindWholeAndInOrder();
    void sendsBurstAndLongSysExIntact();
    void largeSysExContinuesOverSeveralCycles();
    void disconnectedSourceDeliversNothingMore();
    void portsDisappearingLeaveOperationsFailingCleanly();
    void survivesServerKilledAndReconnects();

private:
    void createPorts(JackMidiService& service, Received* received);

    JackTestServer m_server;
    MidiClientRef m_client = MidiNullRef;
    MidiPortRef m_input = MidiNullRef;
    MidiPortRef m_output = MidiNullRef;
};

void JackMidiServiceTest::initTestCase()
{
    m_server.start();
}

void JackMidiServiceTest::cleanupTestCase()
{
    m_server.stop();
}

void JackMidiServiceTest::createPorts(JackMidiService& service, Received* received)
{
    QCOMPARE(service.createClient(QStringLiteral("ClientName"), &m_client), 0);
    QCOMPARE(service.createInputPort(m_client, QStringLiteral("InputPort"), &Received::readProc, received, &m_input), 0);
    QCOMPARE(service.createOutputPort(m_client, QStringLiteral("OutputPort"), &m_output), 0);
}

void JackMidiServiceTest::listsOtherClientsPortsOnly()
{
    TULVAR_REQUIRE_JACK(m_server);
    JackMidiService service;
    QVERIFY(service.isOpen());
    Received received;
    createPorts(service, &received);
    MidiPortRef secondInput = MidiNullRef;
    QCOMPARE(service.createInputPort(m_client, QStringLiteral("InputPort"), &Received::readProc, &received, &secondInput), 0);
    QCOMPARE(service.ownPortName(m_input), QStringLiteral("Tulvar MIDI:InputPort"));
    QCOMPARE(service.ownPortName(secondInput), QStringLiteral("Tulvar MIDI:InputPort 2"));
    QCOMPARE(service.ownPortName(m_output), QStringLiteral("Tulvar MIDI:OutputPort"));

    JackPeerClient peer;
    QVERIFY(peer.isOpen());
    QVERIFY(indexOfName(service, true, peer.outputName()) >= 0);
    QVERIFY(indexOfName(service, false, peer.inputName()) >= 0);
    QCOMPARE(indexOfName(service, true, peer.inputName()), -1);
    QCOMPARE(indexOfName(service, false, peer.outputName()), -1);
    for (const MidiPortRef own : {m_input, secondInput, m_output}) {
        QCOMPARE(indexOfName(service, true, service.ownPortName(own)), -1);
        QCOMPARE(indexOfName(service, false, service.ownPortName(own)), -1);
    }
    QCOMPARE(service.getSource(service.getNumberOfSources()), MidiNullRef);
}

void JackMidiServiceTest::keepsUniqueIdsWhilePortsExist()
{
    TULVAR_REQUIRE_JACK(m_server);
    JackMidiService service;
    JackPeerClient first("tulvar-peer-a");
    JackPeerClient second("tulvar-peer-b");
    QVERIFY(first.isOpen() && second.isOpen());
    auto idOf = [&](const QString& name) {
        const int index = indexOfName(service, true, name);
        std::int32_t id = -1;
        if (index < 0 || service.getIntegerProperty(service.getSource(unsigned(index)), MidiIntegerProperty::UniqueId, &id) != 0) {
            return -1;
        }
        return int(id);
    };
    const int firstId = idOf(first.outputName());
    const int secondId = idOf(second.outputName());
    QVERIFY(firstId > 0 && secondId > 0);
    QVERIFY(firstId != secondId);
    QCOMPARE(idOf(first.outputName()), firstId);

    second.close();
    QCOMPARE(idOf(second.outputName()), -1);
    QCOMPARE(idOf(first.outputName()), firstId);
    JackPeerClient again("tulvar-peer-b");
    QVERIFY(again.isOpen());
    const int newId = idOf(again.outputName());
    QVERIFY(newId > 0);
    QVERIFY(newId != secondId);
    QVERIFY(newId != firstId);
}

void JackMidiServiceTest::displayNamePrefersPrettyNameThenAlias()
{
    TULVAR_REQUIRE_JACK(m_server);
    JackMidiService service;
    JackPeerClient peer;
    QVERIFY(peer.isOpen());
    auto displayName = [&] {
        QString name;
        const int index = indexOfName(service, true, peer.outputName());
        if (index >= 0) {
            service.getStringProperty(service.getSource(unsigned(index)), MidiStringProperty::DisplayName, &name);
        }
        return name;
    };
    QCOMPARE(displayName(), peer.outputName());
    QCOMPARE(jack_port_set_alias(peer.outputPort(), "Synth Out"), 0);
    QCOMPARE(displayName(), QStringLiteral("Synth Out"));

    jack_client_t* metadataClient = jack_client_open("tulvar-metadata", JackNoStartServer, nullptr);
    QVERIFY(metadataClient);
    const jack_uuid_t uuid = jack_port_uuid(peer.outputPort());
    QCOMPARE(jack_set_property(metadataClient, uuid, JACK_METADATA_PRETTY_NAME, "Keyboard Controller", nullptr), 0);
    QCOMPARE(displayName(), QStringLiteral("Keyboard Controller"));
    jack_remove_property(metadataClient, uuid, JACK_METADATA_PRETTY_NAME);
    jack_client_close(metadataClient);
}

void JackMidiServiceTest::receivesEveryMessageKindWholeAndInOrder()
{
    TULVAR_REQUIRE_JACK(m_server);
    JackMidiService service;
    Received received;
    createPorts(service, &received);
    JackPeerClient peer;
    QVERIFY(peer.isOpen());
    const int index = indexOfName(service, true, peer.outputName());
    QVERIFY(index >= 0);
    int connectionContext = 0;
    QCOMPARE(service.connectSource(m_input, service.getSource(unsigned(index)), &connectionContext), 0);

    // Every kind of message, running status split over two events, and a long system exclusive
    // arriving in pieces with timing clock between them, as a device behind a bridge sends it.
    const QList<QByteArray> events = {
        bytes({0x90, 0x3C, 0x64}), bytes({0x3E, 0x64}), bytes({0x80, 0x3C, 0x00}), bytes({0xA1, 0x3C, 0x10}),
        bytes({0xB2, 0x07, 0x7F}), bytes({0xC3, 0x05}), bytes({0xD4, 0x22}), bytes({0xE5, 0x00, 0x40}),
        bytes({0xF1, 0x21}), bytes({0xF2, 0x10, 0x20}), bytes({0xF3, 0x03}), bytes({0xF6}), bytes({0xFA}),
        bytes({0xFB}), bytes({0xFC}), bytes({0xFE}), bytes({0xFF})};
    QByteArray expected;
    for (const QByteArray& event : events) {
        peer.sendEvent(event);
        expected += event;
    }
    const QByteArray dump = sysEx(16384);
    for (int offset = 0; offset < dump.size(); offset += 512) {
        peer.sendEvent(dump.mid(offset, 512));
        peer.sendEvent(bytes({0xF8}));
        expected += dump.mid(offset, 512) + bytes({0xF8});
    }
    QVERIFY(received.waitForBytes(expected.size()));
    QCOMPARE(received.bytes(), expected);
    QCOMPARE(received.packets().first(), events.first());
    QVERIFY(received.timesStamped());
    for (void* context : received.contexts()) {
        QCOMPARE(context, static_cast<void*>(&connectionContext));
    }

    QCOMPARE(service.disconnectSource(m_input, service.getSource(unsigned(index))), 0);
    QCOMPARE(service.disposePort(m_input), 0);
}

void JackMidiServiceTest::sendsBurstAndLongSysExIntact()
{
    TULVAR_REQUIRE_JACK(m_server);
    JackMidiService service;
    Received received;
    createPorts(service, &received);
    JackPeerClient peer;
    QVERIFY(peer.isOpen());
    const int index = indexOfName(service, false, peer.inputName());
    QVERIFY(index >= 0);
    const MidiEndpointRef destination = service.getDestination(unsigned(index));

    QByteArray expected;
    for (int i = 0; i < 2000; ++i) {
        const QByteArray message = i % 3 == 0 ? bytes({0x90 | (i % 16), i % 128, (i / 128) + 1})
                                 : i % 3 == 1 ? bytes({0xB0 | (i % 16), 7, i % 128})
                                              : bytes({0xF8});
        const MidiPacket packet{0, std::uint16_t(message.size()), reinterpret_cast<const unsigned char*>(message.constData())};
        QCOMPARE(service.send(m_output, destination, packet), 0);
        expected += message;
    }
    const QByteArray dump = sysEx(16384);
    const MidiPacket packet{0, std::uint16_t(dump.size()), reinterpret_cast<const unsigned char*>(dump.constData())};
    QCOMPARE(service.send(m_output, destination, packet), 0);
    expected += dump;

    QVERIFY(peer.waitForBytes(expected.size()));
    QCOMPARE(peer.takeReceived(), expected);
    QCOMPARE(service.disposePort(destination), 0);
}

void JackMidiServiceTest::largeSysExContinuesOverSeveralCycles()
{
    TULVAR_REQUIRE_JACK(m_server);
    JackMidiService service;
    createPorts(service, nullptr);
    JackPeerClient peer;
    QVERIFY(peer.isOpen());
    const MidiEndpointRef destination = service.getDestination(unsigned(indexOfName(service, false, peer.inputName())));
    // JACK's MIDI buffer holds one such dump per cycle but not three: the second and third
    // continue in later cycles, and the messages around them stay whole and in place.
    const QList<QByteArray> messages = {bytes({0x90, 0x40, 0x7F}), sysEx(16384), sysEx(16384), sysEx(16384),
                                        bytes({0x80, 0x40, 0x00})};
    QByteArray expected;
    for (const QByteArray& message : messages) {
        const MidiPacket packet{0, std::uint16_t(message.size()), reinterpret_cast<const unsigned char*>(message.constData())};
        QCOMPARE(service.send(m_output, destination, packet), 0);
        expected += message;
    }
    QVERIFY(peer.waitForBytes(expected.size()));
    QCOMPARE(peer.takeReceived(), expected);
    QVERIFY(peer.takenEvents() > messages.size());
}

void JackMidiServiceTest::disconnectedSourceDeliversNothingMore()
{
    TULVAR_REQUIRE_JACK(m_server);
    JackMidiService service;
    Received received;
    createPorts(service, &received);
    JackPeerClient peer;
    QVERIFY(peer.isOpen());
    const MidiEndpointRef source = service.getSource(unsigned(indexOfName(service, true, peer.outputName())));
    QCOMPARE(service.connectSource(m_input, source, &received), 0);
    for (int i = 0; i < 50; ++i) {
        peer.sendEvent(bytes({0x90, i, 0x40}));
    }
    // Disconnecting while the peer still sends: whatever came before is whole, nothing after.
    QVERIFY(received.waitForBytes(3));
    QCOMPARE(service.disconnectSource(m_input, source), 0);
    const QByteArray before = received.bytes();
    QVERIFY(peer.waitUntilSent());
    peer.sendEvent(bytes({0x80, 0x40, 0x00}));
    QVERIFY(peer.waitUntilSent());
    QVERIFY(peer.waitCycles(4));
    QCOMPARE(received.bytes(), before);
    QCOMPARE(before.size() % 3, 0);
    QCOMPARE(service.receivedOverruns(), std::uint64_t(0));
}

void JackMidiServiceTest::portsDisappearingLeaveOperationsFailingCleanly()
{
    TULVAR_REQUIRE_JACK(m_server);
    JackMidiService service;
    Received received;
    createPorts(service, &received);
    auto* peer = new JackPeerClient;
    QVERIFY(peer->isOpen());
    const MidiEndpointRef source = service.getSource(unsigned(indexOfName(service, true, peer->outputName())));
    const MidiEndpointRef destination = service.getDestination(unsigned(indexOfName(service, false, peer->inputName())));
    QCOMPARE(service.connectSource(m_input, source, &received), 0);
    const QByteArray note = bytes({0x90, 0x40, 0x7F});
    const MidiPacket packet{0, 3, reinterpret_cast<const unsigned char*>(note.constData())};
    QCOMPARE(service.send(m_output, destination, packet), 0);
    QVERIFY(peer->waitForBytes(3));

    peer->removeOutput();
    QCOMPARE(indexOfName(service, true, QStringLiteral("tulvar-peer:out")), -1);
    QVERIFY(service.disconnectSource(m_input, source) != 0);
    std::int32_t id = 0;
    QVERIFY(service.getIntegerProperty(source, MidiIntegerProperty::UniqueId, &id) != 0);

    delete peer;
    QCOMPARE(service.getNumberOfDestinations(), 0u);
    QVERIFY(service.send(m_output, destination, packet) != 0);
    QCOMPARE(service.disposePort(m_input), 0);
    QCOMPARE(service.disposePort(m_output), 0);
    QCOMPARE(service.disposeClient(m_client), 0);
}

void JackMidiServiceTest::survivesServerKilledAndReconnects()
{
    TULVAR_REQUIRE_JACK(m_server);
    JackMidiService service;
    Received received;
    createPorts(service, &received);
    MidiEndpointRef destination = MidiNullRef;
    {
        JackPeerClient peer;
        QVERIFY(peer.isOpen());
        destination = service.getDestination(unsigned(indexOfName(service, false, peer.inputName())));
        QCOMPARE(service.connectSource(m_input, service.getSource(unsigned(indexOfName(service, true, peer.outputName()))), &received), 0);
        m_server.kill();
    }
    const QByteArray note = bytes({0x90, 0x40, 0x7F});
    const MidiPacket packet{0, 3, reinterpret_cast<const unsigned char*>(note.constData())};
    // libjack notices the end of the server on a thread of its own, a moment later.
    QTRY_VERIFY_WITH_TIMEOUT(!service.isOpen(), WaitMs);
    QCOMPARE(service.getNumberOfSources(), 0u);
    QVERIFY(service.send(m_output, destination, packet) != 0);
    QCOMPARE(service.getNumberOfDestinations(), 0u);
    QVERIFY(service.ownPortName(m_input).isEmpty());

    QVERIFY(m_server.start());
    JackPeerClient peer;
    QVERIFY(peer.isOpen());
    const int index = indexOfName(service, false, peer.inputName());
    QVERIFY(index >= 0);
    QCOMPARE(service.ownPortName(m_input), QStringLiteral("Tulvar MIDI:InputPort"));
    const MidiEndpointRef newDestination = service.getDestination(unsigned(index));
    QVERIFY(newDestination != destination);
    QCOMPARE(service.send(m_output, newDestination, packet), 0);
    QVERIFY(peer.waitForBytes(3));
    QCOMPARE(peer.takeReceived(), note);
}

QTEST_GUILESS_MAIN(JackMidiServiceTest)
#include "tst_JackMidiService.moc"
