#include "JackPeerClient.h"
#include "testkit/JackTestServer.h"
#include "midi/MidiInputPort.h"
#include "midi/MidiOutputPort.h"
#include "midi/MidiServiceFactory.h"
#include "midi/ReceivedRecorder.h"
#include "midi/ServiceTestKit.h"
#include "midi/alsa/AlsaMidiService.h"
#include "midi/jack/JackMidiService.h"

#include <QtTest>

#include <jack/metadata.h>

#include <cstdio>
#include <memory>
#include <unistd.h>

// The JACK service against a private server and a peer client that plays the device: mostly as
// the program uses it, through the port layer, and directly where the service promises more.

namespace {
constexpr int WaitMs = 30000;

MidiEndpointRef findEndpoint(MidiService& service, bool sources, const QString& name)
{
    const unsigned int count = sources ? service.getNumberOfSources() : service.getNumberOfDestinations();
    for (unsigned int i = 0; i < count; ++i) {
        QString value;
        const MidiEndpointRef ref = sources ? service.getSource(i) : service.getDestination(i);
        if (service.getStringProperty(ref, MidiStringProperty::Name, &value) == 0 && value == name) {
            return ref;
        }
    }
    return MidiNullRef;
}

QString currentName(const Midi& port)
{
    QString name;
    port.getCurrentPortName(name);
    return name;
}

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
    void init();
    void cleanup();
    void cleanupTestCase();
    void ownPortsAreHiddenAndNamedUniquely();
    void uniqueIdsStayWhilePortsExist();
    void displayNamePrefersPrettyNameThenAlias();
    void openedByNameReceivesEveryMessageIntact();
    void disconnectedSourceDeliversNothingMore();
    void burstAndDumpsReachThePeerWholeAndInOrder();
    void closingAfterThePeersPortVanishedLeavesPortsUnassigned();
    void serverKilledLeavesProgramRunningUntilAServerIsBack();
    void backendChoiceTakesARunningServerOnly_data();
    void backendChoiceTakesARunningServerOnly();

private:
    int transmit(const QByteArray& message);

    JackTestServer m_server;
    std::unique_ptr<JackMidiService> m_service;
    std::unique_ptr<MidiClient> m_client;
    std::unique_ptr<MidiInputPort> m_input;
    std::unique_ptr<MidiOutputPort> m_output;
    std::unique_ptr<ReceivedRecorder> m_recorder;
    std::unique_ptr<JackPeerClient> m_peer;
};

void JackMidiServiceTest::init()
{
    if (!m_server.isRunning()) {
        m_server.start();
    }
    TULVAR_REQUIRE_JACK(m_server);
    m_service = std::make_unique<JackMidiService>();
    QVERIFY(m_service->isOpen());
    m_client = std::make_unique<MidiClient>(*m_service);
    m_input = std::make_unique<MidiInputPort>(m_client.get(), MaxMidiMessageLength, 0, 0, 0);
    m_output = std::make_unique<MidiOutputPort>(m_client.get(), MaxMidiMessageLength, 0, 0, 0);
    m_recorder = std::make_unique<ReceivedRecorder>();
    m_input->setReceivedMidiCallbackFunc(&ReceivedRecorder::callback, m_recorder.get());
    m_peer = std::make_unique<JackPeerClient>();
    QVERIFY(m_peer->isOpen());
}

void JackMidiServiceTest::cleanup()
{
    m_input.reset();
    m_output.reset();
    m_client.reset();
    m_service.reset();
    m_peer.reset();
    m_recorder.reset();
}

void JackMidiServiceTest::cleanupTestCase()
{
    m_server.stop();
}

int JackMidiServiceTest::transmit(const QByteArray& message)
{
    unsigned int timeStamp = 0;
    return m_output->transmitMidi(reinterpret_cast<const unsigned char*>(message.constData()),
                                  static_cast<unsigned short>(message.size()), timeStamp);
}

void JackMidiServiceTest::ownPortsAreHiddenAndNamedUniquely()
{
    MIDI_RESULT result = MIDI_RESULT_ERROR;
    const QStringList inputs = m_input->getInputPortNameList(&result);
    QCOMPARE(result, MIDI_RESULT_OK);
    const QStringList outputs = m_output->getOutputPortNameList(&result);
    QCOMPARE(result, MIDI_RESULT_OK);
    QVERIFY(inputs.contains(m_peer->outputName()) && !inputs.contains(m_peer->inputName()));
    QVERIFY(outputs.contains(m_peer->inputName()) && !outputs.contains(m_peer->outputName()));
    for (const QString& name : inputs + outputs) {
        QVERIFY2(!name.startsWith(QStringLiteral("Tulvar MIDI:")), qPrintable(name));
    }
    // JACK refuses a second port of the same name in one client.
    ServicePorts more;
    QVERIFY(more.open(*m_service));
    QCOMPARE(m_service->ownPortName(more.input), QStringLiteral("Tulvar MIDI:InputPort 2"));
    QCOMPARE(m_service->ownPortName(more.output), QStringLiteral("Tulvar MIDI:OutputPort 2"));
    QCOMPARE(findEndpoint(*m_service, true, m_service->ownPortName(more.output)), MidiNullRef);
    QCOMPARE(m_service->getSource(m_service->getNumberOfSources()), MidiNullRef);
}

void JackMidiServiceTest::uniqueIdsStayWhilePortsExist()
{
    auto idOf = [&](const QString& name) {
        std::int32_t id = -1;
        const MidiEndpointRef source = findEndpoint(*m_service, true, name);
        return source != MidiNullRef &&
                       m_service->getIntegerProperty(source, MidiIntegerProperty::UniqueId, &id) == 0
                   ? int(id)
                   : -1;
    };
    auto second = std::make_unique<JackPeerClient>("tulvar-peer-b");
    const QString secondName = second->outputName();
    const int firstId = idOf(m_peer->outputName());
    const int secondId = idOf(secondName);
    QVERIFY(firstId > 0 && secondId > 0 && firstId != secondId);
    QCOMPARE(idOf(m_peer->outputName()), firstId);

    second.reset();
    QCOMPARE(idOf(secondName), -1);
    QCOMPARE(idOf(m_peer->outputName()), firstId);
    // A port that comes back under the same name is a new endpoint.
    JackPeerClient again("tulvar-peer-b");
    const int newId = idOf(again.outputName());
    QVERIFY(newId > 0 && newId != secondId && newId != firstId);
}

void JackMidiServiceTest::displayNamePrefersPrettyNameThenAlias()
{
    auto displayName = [&] {
        QString name;
        m_service->getStringProperty(findEndpoint(*m_service, true, m_peer->outputName()),
                                     MidiStringProperty::DisplayName, &name);
        return name;
    };
    QCOMPARE(displayName(), m_peer->outputName());
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

void JackMidiServiceTest::openedByNameReceivesEveryMessageIntact()
{
    QCOMPARE(m_input->openInputPort(m_peer->outputName()), 0);
    QCOMPARE(currentName(*m_input), m_peer->outputName());

    // Running status split over two events, and a long exclusive arriving in pieces with timing
    // clock between them, as a device behind a bridge sends it.
    QList<QByteArray> events = everyMessageKind();
    const QByteArray dump = sysEx(16384);
    for (int offset = 0; offset < dump.size(); offset += 1000) {
        events.append(dump.mid(offset, 1000));
        events.append(bytes({0xF8}));
    }
    QByteArray expected;
    for (const QByteArray& event : events) {
        m_peer->sendEvent(event);
        expected += event;
    }
    QVERIFY(m_recorder->waitForCount(std::size_t(events.size()), WaitMs));
    const auto records = m_recorder->records();
    QByteArray all;
    for (const auto& record : records) {
        all += record.data;
    }
    QCOMPARE(all, expected);
    QCOMPARE(records[0].data, events[0]);
    QCOMPARE(records[1].data, events[1]);
    QCOMPARE(m_input->closeInputPort(), 0);
}

void JackMidiServiceTest::disconnectedSourceDeliversNothingMore()
{
    ServicePorts ports;
    QVERIFY(ports.open(*m_service));
    const MidiEndpointRef source = findEndpoint(*m_service, true, m_peer->outputName());
    int connectionContext = 0;
    QCOMPARE(m_service->connectSource(ports.input, source, &connectionContext), 0);
    for (int i = 0; i < 50; ++i) {
        m_peer->sendEvent(bytes({0x90, i, 0x40}));
    }
    // Disconnecting while the peer still sends: whatever came before is whole, nothing after.
    QVERIFY(ports.recorder.waitForBytes(3));
    QCOMPARE(m_service->disconnectSource(ports.input, source), 0);
    const QByteArray before = ports.recorder.received();
    QVERIFY(m_peer->waitUntilSent());
    m_peer->sendEvent(bytes({0x80, 0x40, 0x00}));
    QVERIFY(m_peer->waitUntilSent());
    QVERIFY(m_peer->waitCycles(4));
    QCOMPARE(ports.recorder.received(), before);
    QCOMPARE(before.size() % 3, 0);
    QVERIFY(ports.recorder.timesStamped());
    for (void* context : ports.recorder.contexts()) {
        QCOMPARE(context, static_cast<void*>(&connectionContext));
    }
    QCOMPARE(m_service->receivedOverruns(), std::uint64_t(0));
}

void JackMidiServiceTest::burstAndDumpsReachThePeerWholeAndInOrder()
{
    QCOMPARE(m_output->openOutputPort(m_peer->inputName()), 0);
    QList<QByteArray> messages;
    for (int i = 0; i < 2000; ++i) {
        messages.append(i % 3 == 0   ? bytes({0x90 | (i % 16), i % 128, 1 + (i / 16) % 127})
                        : i % 3 == 1 ? bytes({0xB0 | (i % 16), 1, i % 128})
                                     : bytes({0xF8}));
    }
    // More than the outgoing ring holds, so the sender waits for room; JACK's buffer takes one
    // such dump per cycle but not two, so they continue in later cycles.
    messages << sysEx(16384) << sysEx(16384) << sysEx(16384) << sysEx(16384) << bytes({0x80, 0x40, 0x00});
    QByteArray expected;
    for (const QByteArray& message : messages) {
        QCOMPARE(transmit(message), 0);
        expected += message;
    }
    // Closing at once: what was queued still leaves before the connection goes.
    QCOMPARE(m_output->closeOutputPort(), 0);
    QVERIFY(m_peer->waitForBytes(expected.size()));
    QCOMPARE(m_peer->takeReceived(), expected);
    QVERIFY(m_peer->takenEvents() > messages.size());
}

void JackMidiServiceTest::closingAfterThePeersPortVanishedLeavesPortsUnassigned()
{
    QCOMPARE(m_input->openInputPort(m_peer->outputName()), 0);
    QCOMPARE(m_output->openOutputPort(m_peer->inputName()), 0);
    const MidiEndpointRef source = findEndpoint(*m_service, true, m_peer->outputName());
    m_peer->removeOutput();
    QCOMPARE(findEndpoint(*m_service, true, QStringLiteral("tulvar-peer:out")), MidiNullRef);
    std::int32_t id = 0;
    QVERIFY(m_service->getIntegerProperty(source, MidiIntegerProperty::UniqueId, &id) != 0);
    QCOMPARE(m_input->closeInputPort(), 1);
    QCOMPARE(currentName(*m_input), QStringLiteral("No Assign"));

    m_peer.reset();
    QCOMPARE(transmit(bytes({0x90, 0x40, 0x7F})), 1);
    QCOMPARE(m_output->closeOutputPort(), 0);
    QVERIFY(!m_output->getOutputPortNameList().contains(QStringLiteral("tulvar-peer:in")));
}

void JackMidiServiceTest::serverKilledLeavesProgramRunningUntilAServerIsBack()
{
    QCOMPARE(m_input->openInputPort(m_peer->outputName()), 0);
    QCOMPARE(m_output->openOutputPort(m_peer->inputName()), 0);
    m_peer.reset();
    m_server.kill();

    // libjack notices the end of the server on a thread of its own, a moment later. (The menus
    // alone cannot tell: with the peer gone they are empty either way.)
    QTRY_VERIFY_WITH_TIMEOUT(!m_service->isOpen(), WaitMs);
    QCOMPARE(transmit(bytes({0x90, 0x40, 0x7F})), 1);
    MIDI_RESULT result = MIDI_RESULT_ERROR;
    QVERIFY(m_input->getInputPortNameList(&result).isEmpty());
    QCOMPARE(result, MIDI_RESULT_OK);
    QVERIFY(m_output->getOutputPortNameList(&result).isEmpty());
    QCOMPARE(m_input->openInputPort(0u), 1);
    QCOMPARE(m_input->closeInputPort(), 1);
    QCOMPARE(currentName(*m_input), QStringLiteral("No Assign"));

    QVERIFY(m_server.start());
    m_peer = std::make_unique<JackPeerClient>();
    QVERIFY(m_peer->isOpen());
    QVERIFY(m_input->getInputPortNameList().contains(m_peer->outputName()));
    QCOMPARE(m_input->openInputPort(m_peer->outputName()), 0);
    m_peer->sendEvent(bytes({0x90, 0x3C, 0x64}));
    QVERIFY(m_recorder->waitForCount(1, WaitMs));
    QCOMPARE(m_recorder->records().front().data, bytes({0x90, 0x3C, 0x64}));
    QVERIFY(m_output->getOutputPortNameList().contains(m_peer->inputName()));
    QCOMPARE(m_output->openOutputPort(m_peer->inputName()), 0);
    QCOMPARE(transmit(bytes({0x80, 0x3C, 0x00})), 0);
    QVERIFY(m_peer->waitForBytes(3));
}

void JackMidiServiceTest::backendChoiceTakesARunningServerOnly_data()
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

void JackMidiServiceTest::backendChoiceTakesARunningServerOnly()
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

QTEST_GUILESS_MAIN(JackMidiServiceTest)
#include "tst_JackMidiService.moc"
