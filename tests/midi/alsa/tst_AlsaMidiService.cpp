#include "AlsaPeerClient.h"
#include "RawMidiDevice.h"
#include "midi/ServiceTestKit.h"
#include "midi/alsa/AlsaMidiService.h"
#include "small/MidiLibrary/midilib_parser.h"

#include <QtTest>

#include <memory>
#include <thread>

// These tests need a real sequencer: scripts/alsa-vm.sh runs them in a guest with snd-seq-dummy
// and snd-virmidi, where they must not skip (TULVAR_ALSA_GUEST is set there). Elsewhere they
// skip when /dev/snd/seq is missing. The conversion between bytes and events is tested
// everywhere in tst_AlsaEventCodec.

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

MidiEndpointRef findByName(AlsaMidiService& service, bool sources, const QString& name)
{
    const unsigned int count = sources ? service.getNumberOfSources() : service.getNumberOfDestinations();
    for (unsigned int i = 0; i < count; ++i) {
        const MidiEndpointRef ref = sources ? service.getSource(i) : service.getDestination(i);
        QString portName;
        if (service.getStringProperty(ref, MidiStringProperty::Name, &portName) == 0 && portName == name) {
            return ref;
        }
    }
    return MidiNullRef;
}

// A note, then 2,000 notes, then a 16384-byte exclusive. Neighbouring messages never share a
// status byte, so a receiver that writes running status (a raw-MIDI port does) gives the same bytes.
QList<QByteArray> noteBurstAndDump()
{
    QList<QByteArray> messages{bytes({0x9F, 0x3C, 0x64})};
    for (int i = 0; i < 2000; ++i) {
        messages.append(bytes({0x90 | (i % 16), i % 128, 1 + i % 127}));
    }
    messages.append(sysEx(16384));
    return messages;
}

// A read procedure that stands for a delivery ring with no room: it holds the service's reader
// until released.
struct BlockingReader {
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool released = false;

    static void readProc(const MidiPacket*, unsigned int, void* readProcRefCon, void*)
    {
        auto* self = static_cast<BlockingReader*>(readProcRefCon);
        std::unique_lock<std::mutex> lock(self->mutex);
        self->entered = true;
        self->changed.notify_all();
        self->changed.wait(lock, [&] { return self->released; });
    }
    bool waitUntilEntered()
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(30), [&] { return entered; });
    }
    void release()
    {
        std::lock_guard<std::mutex> lock(mutex);
        released = true;
        changed.notify_all();
    }
};

QString seqPortName(int client, int port)
{
    snd_seq_t* seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, 0) < 0) {
        return QString();
    }
    snd_seq_port_info_t* info;
    snd_seq_port_info_alloca(&info);
    const QString name = snd_seq_get_any_port_info(seq, client, port, info) >= 0
                             ? QString::fromUtf8(snd_seq_port_info_get_name(info))
                             : QString();
    snd_seq_close(seq);
    return name;
}
}

class AlsaMidiServiceTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void listsOtherClientsPortsOnly();
    void ownPortsAreNamedApart();
    void receivesEveryMessageKindWholeAndStampedWhenRead();
    void programPeerWithDefaultPoolsGetsEverythingInOrder();
    void rawMidiPortGetsEverythingInOrder();
    void exclusiveFromRawMidiArrivesInChunksTheParserJoins();
    void outsideSubscriberOfTheOutputPortReceives();
    void sourceHeldExclusivelyCannotBeOpened();
    void readProcWaitingForRoomBlocksNoSendOrPortChange();
    void destinationVanishingMidSendFailsTheSend_data();
    void destinationVanishingMidSendFailsTheSend();

private:
    std::unique_ptr<AlsaMidiService> m_service;
    std::unique_ptr<ServicePorts> m_ports;
    std::unique_ptr<AlsaPeerClient> m_peer;
};

void AlsaMidiServiceTest::init()
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
    QVERIFY(findByName(*m_service, false, QStringLiteral("VirMIDI 0-0")) != MidiNullRef);
    QString name;
    QCOMPARE(m_service->getStringProperty(peerOut, MidiStringProperty::Name, &name), 0);
    QCOMPARE(name, QStringLiteral("out"));
    QCOMPARE(m_service->getStringProperty(peerOut, MidiStringProperty::DisplayName, &name), 0);
    QCOMPARE(name, QStringLiteral("Tulvar Peer: out"));
    std::int32_t id = 0;
    QCOMPARE(m_service->getIntegerProperty(peerOut, MidiIntegerProperty::UniqueId, &id), 0);
    QCOMPARE(id, std::int32_t(peerOut));
}

void AlsaMidiServiceTest::ownPortsAreNamedApart()
{
    ServicePorts second;
    QVERIFY(second.open(*m_service));
    const int client = m_service->clientId();
    QCOMPARE(seqPortName(client, m_service->ownPortNumber(m_ports->input)), QStringLiteral("InputPort"));
    QCOMPARE(seqPortName(client, m_service->ownPortNumber(second.input)), QStringLiteral("InputPort 2"));
    QCOMPARE(seqPortName(client, m_service->ownPortNumber(m_ports->output)), QStringLiteral("OutputPort"));
    QCOMPARE(seqPortName(client, m_service->ownPortNumber(second.output)), QStringLiteral("OutputPort 2"));
    QCOMPARE(m_service->disposePort(second.input), 0);
    QCOMPARE(m_service->disposePort(second.output), 0);
}

void AlsaMidiServiceTest::receivesEveryMessageKindWholeAndStampedWhenRead()
{
    const MidiEndpointRef source = endpoint(m_peer->clientId(), m_peer->outputPort());
    int connectionContext = 0;
    QCOMPARE(m_service->connectSource(m_ports->input, source, &connectionContext), 0);
    QByteArray expected;
    const QList<QByteArray> kinds = everyMessageKind();
    // The peer sends running status inside one packet; the sequencer hands on whole messages.
    QVERIFY(m_peer->send(kinds[0] + kinds[1]));
    expected += kinds[0] + char(0x90) + kinds[1];
    for (const QByteArray& message : kinds.mid(2) + QList<QByteArray>{sysEx(16384), bytes({0xF8})}) {
        QVERIFY(m_peer->send(message));
        expected += message;
    }
    QVERIFY(m_ports->recorder.waitForBytes(expected.size()));
    QCOMPARE(m_ports->recorder.received(), expected);
    QCOMPARE(m_ports->recorder.contexts().last(), static_cast<void*>(&connectionContext));
    QVERIFY(m_ports->recorder.timesStamped());
    QCOMPARE(m_service->disconnectSource(m_ports->input, source), 0);
}

void AlsaMidiServiceTest::programPeerWithDefaultPoolsGetsEverythingInOrder()
{
    const MidiEndpointRef destination = endpoint(m_peer->clientId(), m_peer->inputPort());
    QCOMPARE(m_service->connectDestination(m_ports->output, destination), 0);
    QByteArray expected;
    for (const QByteArray& message : noteBurstAndDump()) {
        QCOMPARE(m_ports->send(destination, message), 0);
        expected += message;
    }
    QVERIFY(m_peer->waitForBytes(expected.size()));
    QCOMPARE(m_peer->received(), expected);
}

void AlsaMidiServiceTest::rawMidiPortGetsEverythingInOrder()
{
    RawMidiDevice device(QStringLiteral("/dev/snd/midiC0D0"));
    QVERIFY(device.isOpen());
    const MidiEndpointRef destination = findByName(*m_service, false, QStringLiteral("VirMIDI 0-0"));
    QVERIFY(destination != MidiNullRef);
    QCOMPARE(m_service->connectDestination(m_ports->output, destination), 0);
    QByteArray expected;
    for (const QByteArray& message : noteBurstAndDump()) {
        QCOMPARE(m_ports->send(destination, message), 0);
        expected += message;
    }
    QVERIFY(device.waitForBytes(expected.size()));
    QCOMPARE(device.received(), expected);
    QCOMPARE(m_service->disconnectDestination(m_ports->output, destination), 0);
}

void AlsaMidiServiceTest::exclusiveFromRawMidiArrivesInChunksTheParserJoins()
{
    RawMidiDevice device(QStringLiteral("/dev/snd/midiC0D1"));
    QVERIFY(device.isOpen());
    const MidiEndpointRef source = findByName(*m_service, true, QStringLiteral("VirMIDI 0-1"));
    QVERIFY(source != MidiNullRef);
    QCOMPARE(m_service->connectSource(m_ports->input, source, nullptr), 0);
    const QByteArray dump = sysEx(16384);
    QVERIFY(device.write(dump));
    QVERIFY(m_ports->recorder.waitForBytes(dump.size()));
    QCOMPARE(m_ports->recorder.received(), dump);
    QVERIFY(m_ports->recorder.contexts().size() > 1);
    auto parser = std::make_unique<MIDILIB_Parser>();
    midilib_parser_init(parser.get());
    const QByteArray received = m_ports->recorder.received();
    midilib_parser_setData(parser.get(), reinterpret_cast<const uint8_t*>(received.constData()), std::uint64_t(received.size()));
    auto event = std::make_unique<MIDILIB_Event>();
    QCOMPARE(midilib_parser_parse(parser.get(), event.get()), 0);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(event->payload.systemExclusive.bytes),
                        int(event->payload.systemExclusive.length)),
             dump);
    QCOMPARE(midilib_parser_parse(parser.get(), event.get()), -1);
}

void AlsaMidiServiceTest::outsideSubscriberOfTheOutputPortReceives()
{
    // As aconnect or a patchbay would connect it.
    AlsaPeerClient listener("Tulvar Listener");
    QVERIFY(listener.subscribeFrom(m_service->clientId(), m_service->ownPortNumber(m_ports->output)));
    const MidiEndpointRef destination = endpoint(m_peer->clientId(), m_peer->inputPort());
    QCOMPARE(m_service->connectDestination(m_ports->output, destination), 0);
    const QByteArray message = bytes({0x90, 0x40, 0x7F}) + sysEx(1000);
    QCOMPARE(m_ports->send(destination, message), 0);
    QVERIFY(listener.waitForBytes(message.size()));
    QCOMPARE(listener.received(), message);
    QVERIFY(m_peer->waitForBytes(message.size()));
    QCOMPARE(m_peer->received(), message);
}

void AlsaMidiServiceTest::sourceHeldExclusivelyCannotBeOpened()
{
    AlsaPeerClient holder("Tulvar Holder");
    QVERIFY(holder.subscribeFrom(m_peer->clientId(), m_peer->outputPort(), true));
    QVERIFY(m_service->connectSource(m_ports->input, endpoint(m_peer->clientId(), m_peer->outputPort()), nullptr) != 0);
}

void AlsaMidiServiceTest::readProcWaitingForRoomBlocksNoSendOrPortChange()
{
    BlockingReader reader;
    MidiPortRef blocked = MidiNullRef;
    QCOMPARE(m_service->createInputPort(m_ports->client, QStringLiteral("InputPort"), &BlockingReader::readProc,
                                        &reader, &blocked),
             0);
    const MidiEndpointRef source = endpoint(m_peer->clientId(), m_peer->outputPort());
    QCOMPARE(m_service->connectSource(blocked, source, nullptr), 0);
    QVERIFY(m_peer->send(bytes({0x90, 0x40, 0x7F})));
    QVERIFY(reader.waitUntilEntered());
    // What a thru send and the port menus need meanwhile (a deadlock would end in the timeout).
    const MidiEndpointRef destination = endpoint(m_peer->clientId(), m_peer->inputPort());
    QCOMPARE(m_ports->send(destination, bytes({0x80, 0x40, 0x00})), 0);
    QVERIFY(m_service->getNumberOfSources() > 0);
    QCOMPARE(m_service->connectSource(m_ports->input, source, nullptr), 0);
    QCOMPARE(m_service->disconnectSource(m_ports->input, source), 0);
    MidiPortRef another = MidiNullRef;
    QCOMPARE(m_service->createOutputPort(m_ports->client, QStringLiteral("OutputPort"), &another), 0);
    QCOMPARE(m_service->disposePort(another), 0);
    reader.release();
    QCOMPARE(m_service->disconnectSource(blocked, source), 0);
    QCOMPARE(m_service->disposePort(blocked), 0);
    QVERIFY(m_peer->waitForBytes(3));
}

void AlsaMidiServiceTest::destinationVanishingMidSendFailsTheSend_data()
{
    QTest::addColumn<bool>("wholeClientExits");
    QTest::newRow("port removed") << false;
    QTest::newRow("client exits") << true;
}

void AlsaMidiServiceTest::destinationVanishingMidSendFailsTheSend()
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

QTEST_GUILESS_MAIN(AlsaMidiServiceTest)
#include "tst_AlsaMidiService.moc"
