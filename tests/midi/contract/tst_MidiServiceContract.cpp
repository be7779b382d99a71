#include "midi/PortRig.h"
#include "midi/ServiceTestKit.h"
#include "midi/contract/ServiceContractFixture.h"

#include <QtTest>

#include <algorithm>
#include <functional>
#include <future>
#include <thread>

// What every MIDI service promises the port layer, tested through the port layer against a
// peer program on the same service. TULVAR_CONTRACT_SERVICE chooses the service: loopback (the
// default), jack or alsa.

namespace {
constexpr int WaitMs = 30000;
constexpr int FloodEvents = 60;
constexpr int FloodEventLength = 2000;  // a port's ring holds eight

std::unique_ptr<ServiceContractFixture> makeFixture(const QString& name)
{
    return name == QStringLiteral("jack")   ? makeJackContractFixture()
           : name == QStringLiteral("alsa") ? makeAlsaContractFixture()
           : name.isEmpty() || name == QStringLiteral("loopback") ? makeLoopbackContractFixture()
                                                                   : nullptr;
}

// The stream with every running status written out: a service may deliver either form (the
// ALSA sequencer carries whole messages only).
QByteArray withStatusBytes(const QByteArray& stream)
{
    QByteArray out;
    unsigned char status = 0;
    int dataLeft = 0;
    for (const char c : stream) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte < 0xF8) {
            status = byte < 0xF0 ? byte : 0;
            dataLeft = (byte & 0xE0) == 0xC0 ? 1 : 2;
        } else if (byte < 0x80 && status != 0 && dataLeft-- == 0) {
            out += char(status);
            dataLeft = (status & 0xE0) == 0xC0 ? 0 : 1;
        }
        out += c;
    }
    return out;
}

QList<QByteArray> burst(int count)
{
    QList<QByteArray> messages;
    for (int i = 0; i < count; ++i) {
        messages.append(i % 3 == 0   ? bytes({0x90 | (i % 16), i % 128, 1 + (i / 16) % 127})
                        : i % 3 == 1 ? bytes({0xB0 | (i % 16), 1, i % 128})
                                     : bytes({0xF8}));
    }
    return messages;
}
// An exclusive carrying its sequence number in its first two data bytes.
QByteArray numbered(int sequence)
{
    return bytes({0xF0, sequence >> 7, sequence & 0x7F}) + QByteArray(FloodEventLength - 4, 0x11) + char(0xF7);
}

// A receive callback that notes each exclusive's number and passes what it gets on slowly, as the
// analyzer does with thru on. A service may deliver an exclusive in chunks (ALSA's are 256 bytes).
struct SlowThru {
    static void callback(void* context, const unsigned char* data, unsigned short length, unsigned int, unsigned int)
    {
        auto* self = static_cast<SlowThru*>(context);
        if (data[0] == 0xF0) {
            {
                std::lock_guard<std::mutex> lock(self->mutex);
                self->sequences.push_back(data[1] * 128 + data[2]);
                self->changed.notify_all();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        unsigned int timeStamp = 0;
        self->output->transmitMidi(data, length, timeStamp);
    }
    // Until count exclusives have come, the last of them numbered last (any if last is negative).
    bool waitFor(std::size_t count, int last)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::milliseconds(WaitMs),
                                [&] { return sequences.size() >= count && (last < 0 || sequences.back() == last); });
    }

    MidiOutputPort* output = nullptr;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<int> sequences;
};
}

class MidiServiceContractTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const QString name = qEnvironmentVariable("TULVAR_CONTRACT_SERVICE");
        m_fixture = makeFixture(name);
        QVERIFY2(m_fixture, qPrintable("unknown service " + name));
    }

    void init()
    {
        const QString reason = m_fixture->unavailableReason();
        if (!reason.isEmpty()) {
            if (m_fixture->mustRun()) {
                QFAIL(qPrintable("the service must be tested here: " + reason));
            }
            QSKIP(qPrintable(reason));
        }
        m_service = m_fixture->createService();
        QVERIFY(m_service);
        m_client = std::make_unique<MidiClient>(*m_service);
        m_input = std::make_unique<MidiInputPort>(m_client.get(), MaxMidiMessageLength, 0, 0, 0);
        m_output = std::make_unique<MidiOutputPort>(m_client.get(), MaxMidiMessageLength, 0, 0, 0);
        m_recorder = std::make_unique<ReceivedRecorder>();
        m_input->setReceivedMidiCallbackFunc(&ReceivedRecorder::callback, m_recorder.get());
        m_peer = m_fixture->createPeer(*m_service);
        QVERIFY(m_peer);
    }

    // The ports in the main window's order.
    void cleanup()
    {
        m_input.reset();
        m_output.reset();
        m_client.reset();
        m_recorder.reset();
        m_peer.reset();
        m_service.reset();
    }

    void enumerationListsThePeerButNoneOfTheProgramsOwnPorts()
    {
        MIDI_RESULT result = MIDI_RESULT_ERROR;
        const QStringList inputs = m_input->getInputPortNameList(&result);
        QCOMPARE(result, MIDI_RESULT_OK);
        const QStringList outputs = m_output->getOutputPortNameList(&result);
        QCOMPARE(result, MIDI_RESULT_OK);
        QVERIFY2(inputs.contains(m_peer->sourceName()), qPrintable(inputs.join(", ")));
        QVERIFY2(outputs.contains(m_peer->destinationName()), qPrintable(outputs.join(", ")));
        for (const QString& name : inputs + outputs) {
            QVERIFY2(!name.contains(InputPortName) && !name.contains(OutputPortName), qPrintable(name));
        }
        QCOMPARE(m_service->getSource(m_service->getNumberOfSources()), InvalidPortRef);
        QCOMPARE(m_service->getDestination(m_service->getNumberOfDestinations()), InvalidPortRef);

        // Unique IDs tell the endpoints of one direction apart and stay while they exist.
        QSet<std::int32_t> ids;
        for (unsigned int i = 0; i < m_service->getNumberOfSources(); ++i) {
            std::int32_t id = 0;
            QCOMPARE(m_service->getIntegerProperty(m_service->getSource(i), MidiIntegerProperty::UniqueId, &id), 0);
            ids.insert(id);
        }
        QCOMPARE(ids.size(), inputs.size());
        QCOMPARE(m_input->openInputPort(m_peer->sourceName()), 0);
        const std::int32_t id = m_input->getCurrentPortUniqueId();
        QVERIFY(ids.contains(id));
        QCOMPARE(m_input->getInputPortNameList(), inputs);
        QCOMPARE(m_input->openInputPort(m_peer->sourceName()), 0);
        QCOMPARE(m_input->getCurrentPortUniqueId(), id);
    }

    void openingByNameAssignsThatEndpointAndOnlyAnExactName()
    {
        QCOMPARE(m_input->openInputPort(m_peer->sourceName()), 0);
        QCOMPARE(PortRig::nameOf(*m_input), m_peer->sourceName());
        QCOMPARE(m_output->openOutputPort(m_peer->destinationName()), 0);
        QCOMPARE(PortRig::nameOf(*m_output), m_peer->destinationName());
        for (const QString& name : {m_peer->sourceName().toUpper(), m_peer->sourceName() + " ", QString()}) {
            QCOMPARE(m_input->openInputPort(name), 1);
            QCOMPARE(m_output->openOutputPort(name), 1);
        }
        QCOMPARE(PortRig::nameOf(*m_input), m_peer->sourceName());
        QCOMPARE(PortRig::nameOf(*m_output), m_peer->destinationName());
    }

    // Running status split over two events, a dump arriving in pieces with timing clock between them
    // (as a device behind a bridge sends it), and more than a service's queues hold at once.
    void everyMessageKindBurstsAndDumpsArriveIntactAndInOrder()
    {
        QCOMPARE(m_input->openInputPort(m_peer->sourceName()), 0);
        QList<QByteArray> events = everyMessageKind();
        const QByteArray dump = sysEx(16384);
        for (int offset = 0; offset < dump.size(); offset += 1000) {
            events << dump.mid(offset, 1000) << bytes({0xF8});
        }
        events << sysEx(16384) << burst(2000);
        for (const QByteArray& event : events) {
            QVERIFY(m_peer->send(event));
        }
        const QByteArray expected = withStatusBytes(events.join());
        QTRY_VERIFY_WITH_TIMEOUT(receivedStream().size() >= expected.size(), WaitMs);
        QCOMPARE(receivedStream(), expected);
    }

    // Senders wait for room in the service's queues; closing at once, what was queued still leaves.
    void everyMessageKindBurstsAndDumpsLeaveIntactAndInOrder()
    {
        QCOMPARE(m_output->openOutputPort(m_peer->destinationName()), 0);
        QList<QByteArray> messages = everyMessageKind();
        messages.removeAt(1);  // the program sends whole messages, never running status
        messages << burst(2000) << sysEx(16384) << sysEx(16384) << sysEx(16384) << sysEx(16384)
                 << bytes({0x80, 0x3C, 0x00});
        for (const QByteArray& message : messages) {
            QCOMPARE(transmit(message), 0);
        }
        QCOMPARE(m_output->closeOutputPort(), 0);
        const QByteArray expected = messages.join();
        QVERIFY(m_peer->waitForBytes(expected.size()));
        QCOMPARE(m_peer->takeReceived(), expected);
    }

    // A second port that stays connected shows when the peer's later messages have come through.
    void aClosedInputReceivesNothingMore()
    {
        QCOMPARE(m_input->openInputPort(m_peer->sourceName()), 0);
        QVERIFY(m_peer->send(bytes({0x90, 0x3C, 0x40})));
        QVERIFY(m_recorder->waitForCount(1, WaitMs));
        QCOMPARE(m_input->closeInputPort(), 0);
        QVERIFY(m_peer->send(bytes({0x80, 0x3C, 0x00})));

        MidiInputPort witness(m_client.get(), MaxMidiMessageLength, 1, 0, 0);
        ReceivedRecorder witnessed;
        witness.setReceivedMidiCallbackFunc(&ReceivedRecorder::callback, &witnessed);
        QCOMPARE(witness.openInputPort(m_peer->sourceName()), 0);
        QVERIFY(m_peer->send(bytes({0xFC})));
        QTRY_VERIFY_WITH_TIMEOUT(!witnessed.records().empty() && witnessed.records().back().data.endsWith(char(0xFC)), WaitMs);
        QCOMPARE(m_recorder->records().size(), std::size_t(1));
        QCOMPARE(m_recorder->records().front().data, bytes({0x90, 0x3C, 0x40}));
    }

    // A thru send and the port menus come while a read procedure waits for room in a full ring; once
    // disconnectSource has returned, the port layer frees what the read procedure uses.
    void aReadProcedureInProgressBlocksNoSendButDisconnectingWaitsForIt()
    {
        HeldReader reader;
        MidiPortRef port = InvalidPortRef;
        QCOMPARE(m_service->createInputPort(m_client->clientRef(), QStringLiteral("Held"), &HeldReader::readProc, &reader,
                                            &port),
                 0);
        QCOMPARE(m_input->openInputPort(m_peer->sourceName()), 0);
        const MidiEndpointRef source = m_service->getSource(m_input->getCurrentPortIndex());
        QCOMPARE(m_service->connectSource(port, source, nullptr), 0);
        reader.setHeld(true);
        QVERIFY(m_peer->send(bytes({0xFA})));
        QVERIFY(reader.waitUntilInside());
        QVERIFY(m_output->getOutputPortNameList().contains(m_peer->destinationName()));
        QCOMPARE(m_output->openOutputPort(m_peer->destinationName()), 0);
        for (int i = 0; i < 100; ++i) {
            QCOMPARE(transmit(bytes({0xF8})), 0);
        }
        int finishedWhenReturned = -1;
        std::thread disconnecter([&] {
            m_service->disconnectSource(port, source);
            finishedWhenReturned = reader.finishedCalls();
        });
        reader.setHeld(false);
        disconnecter.join();
        QVERIFY(finishedWhenReturned >= 1);
        m_service->disposePort(port);
        QVERIFY(m_peer->waitForBytes(100));
    }

    // A port of the wrong direction, or an endpoint of the wrong one, is refused, never used.
    void referencesOfTheWrongKindAreRefused()
    {
        HeldReader reader;
        MidiPortRef input = InvalidPortRef;
        MidiPortRef output = InvalidPortRef;
        QCOMPARE(m_service->createInputPort(m_client->clientRef(), QStringLiteral("In"), &HeldReader::readProc, &reader,
                                            &input),
                 0);
        QCOMPARE(m_service->createOutputPort(m_client->clientRef(), QStringLiteral("Out"), &output), 0);
        QCOMPARE(m_input->openInputPort(m_peer->sourceName()), 0);
        QCOMPARE(m_output->openOutputPort(m_peer->destinationName()), 0);
        const MidiEndpointRef source = m_service->getSource(m_input->getCurrentPortIndex());
        const MidiEndpointRef destination = m_service->getDestination(m_output->getCurrentPortIndex());
        const unsigned char clock = 0xF8;
        QVERIFY(m_service->send(input, destination, MidiPacket{0, 1, &clock}) != 0);
        QVERIFY(m_service->send(output, source, MidiPacket{0, 1, &clock}) != 0);
        QVERIFY(m_service->send(output, InvalidPortRef - 1, MidiPacket{0, 1, &clock}) != 0);
        QVERIFY(m_service->connectSource(output, source, nullptr) != 0);
        QVERIFY(m_service->connectSource(input, destination, nullptr) != 0);
        m_service->disposePort(input);
        m_service->disposePort(output);
    }

    void aVanishedPeerLeavesThePortsUnassignableButTheProgramRunning()
    {
        const QString source = m_peer->sourceName();
        const QString destination = m_peer->destinationName();
        QCOMPARE(m_input->openInputPort(source), 0);
        QCOMPARE(m_output->openOutputPort(destination), 0);
        m_peer->vanish();
        QTRY_VERIFY_WITH_TIMEOUT(!m_input->getInputPortNameList().contains(source), WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!m_output->getOutputPortNameList().contains(destination), WaitMs);
        QCOMPARE(m_input->closeInputPort(), 1);
        QCOMPARE(PortRig::nameOf(*m_input), QStringLiteral("No Assign"));
        transmit(bytes({0x90, 0x40, 0x7F}));  // may be refused or lost, but returns
        QCOMPARE(m_output->closeOutputPort(), 0);
        QCOMPARE(m_input->openInputPort(source), 1);
        QCOMPARE(m_output->openOutputPort(destination), 1);
    }

    void theServiceGoingAwayLeavesTheProgramRunningUntilItIsBack()
    {
        if (!m_fixture->canTakeServiceAway()) {
            QSKIP("this service has no server or device to lose");
        }
        QCOMPARE(m_input->openInputPort(m_peer->sourceName()), 0);
        QCOMPARE(m_output->openOutputPort(m_peer->destinationName()), 0);
        m_peer.reset();
        m_fixture->takeServiceAway();

        // The service notices on a thread of its own, a moment later.
        QTRY_COMPARE_WITH_TIMEOUT(transmit(bytes({0x90, 0x40, 0x7F})), 1, WaitMs);
        MIDI_RESULT result = MIDI_RESULT_ERROR;
        QVERIFY(m_input->getInputPortNameList(&result).isEmpty());
        QCOMPARE(result, MIDI_RESULT_OK);
        QVERIFY(m_output->getOutputPortNameList(&result).isEmpty());
        QCOMPARE(m_input->openInputPort(0u), 1);
        QCOMPARE(m_input->closeInputPort(), 1);
        QCOMPARE(PortRig::nameOf(*m_input), QStringLiteral("No Assign"));

        QVERIFY(m_fixture->bringServiceBack());
        m_peer = m_fixture->createPeer(*m_service);
        QVERIFY(m_peer);
        QTRY_VERIFY_WITH_TIMEOUT(m_input->getInputPortNameList().contains(m_peer->sourceName()), WaitMs);
        QCOMPARE(m_input->openInputPort(m_peer->sourceName()), 0);
        QVERIFY(m_peer->send(bytes({0x90, 0x3C, 0x64})));
        QVERIFY(m_recorder->waitForCount(1, WaitMs));
        QCOMPARE(m_recorder->records().front().data, bytes({0x90, 0x3C, 0x64}));
        QCOMPARE(m_output->openOutputPort(m_peer->destinationName()), 0);
        QCOMPARE(transmit(bytes({0x80, 0x3C, 0x00})), 0);
        QVERIFY(m_peer->waitForBytes(3));
    }

    // A flood faster than the thru destination drains keeps the service's reader waiting for room
    // in the input port's ring; reopening that input, and quitting, must still finish in order.
    void aPortChangeAndQuitUnderFloodFinishInOrder_data()
    {
        QTest::addColumn<bool>("reopenFirst");
        QTest::newRow("reopen, then quit") << true;
        QTest::newRow("quit while flooded") << false;
    }

    void aPortChangeAndQuitUnderFloodFinishInOrder()
    {
        QFETCH(bool, reopenFirst);
        SlowThru thru;
        thru.output = m_output.get();
        m_input->setReceivedMidiCallbackFunc(&SlowThru::callback, &thru);
        QCOMPARE(m_output->openOutputPort(m_peer->destinationName()), 0);
        QCOMPARE(m_input->openInputPort(m_peer->sourceName()), 0);
        for (int i = 0; i < FloodEvents; ++i) {
            m_peer->send(numbered(i));
        }
        const bool flowing = thru.waitFor(2, -1);
        // Aside, so that a hang fails the test rather than stalling it.
        auto finished = std::async(std::launch::async, [&] {
            if (reopenFirst) {
                m_input->openInputPort(m_peer->sourceName());
                m_peer->send(numbered(FloodEvents));
                thru.waitFor(1, FloodEvents);
            }
            cleanup();
        });
        if (finished.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
            qFatal("reopening or closing a flooded input hung");
        }
        QVERIFY(flowing);
        const std::vector<int>& received = thru.sequences;
        QVERIFY(std::adjacent_find(received.begin(), received.end(), std::greater_equal<int>()) == received.end());
        QCOMPARE(received.back() == FloodEvents, reopenFirst);
    }

private:
    int transmit(const QByteArray& message) { return PortRig::transmitOn(*m_output, message); }

    // What the input port delivered, as one stream with running status written out.
    QByteArray receivedStream()
    {
        QByteArray all;
        for (const auto& record : m_recorder->records()) {
            all += record.data;
        }
        return withStatusBytes(all);
    }

    std::unique_ptr<ServiceContractFixture> m_fixture;
    std::unique_ptr<MidiService> m_service;
    std::unique_ptr<MidiClient> m_client;
    std::unique_ptr<MidiInputPort> m_input;
    std::unique_ptr<MidiOutputPort> m_output;
    std::unique_ptr<ReceivedRecorder> m_recorder;
    std::unique_ptr<ContractPeer> m_peer;
};

QTEST_GUILESS_MAIN(MidiServiceContractTest)
#include "tst_MidiServiceContract.moc"
