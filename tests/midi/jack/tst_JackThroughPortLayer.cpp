#include "JackPeerClient.h"
#include "JackTestServer.h"
#include "midi/MidiInputPort.h"
#include "midi/MidiOutputPort.h"
#include "midi/ReceivedRecorder.h"
#include "midi/jack/JackMidiService.h"

#include <QtTest>

#include <memory>

// The program's view of JACK: the port layer over the JACK service, against a private server and
// a peer client that plays the device.

namespace {
constexpr int WaitMs = 30000;

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
        result[i] = char((i * 11) & 0x7F);
    }
    result[length - 1] = char(0xF7);
    return result;
}

QByteArray joined(const std::vector<ReceivedRecorder::Record>& records)
{
    QByteArray all;
    for (const auto& record : records) {
        all += record.data;
    }
    return all;
}
}

class JackThroughPortLayerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void menusListThePeersPortsButNotOurOwn();
    void openedByNameReceivesEveryMessageIntact();
    void burstAndLongSysExReachThePeerInOrder();
    void closingAfterThePeersPortVanishedLeavesPortsUnassigned();
    void serverKilledLeavesProgramRunningUntilAServerIsBack();

private:
    int transmit(MidiOutputPort& port, const QByteArray& message);

    JackTestServer m_server;
    std::unique_ptr<JackMidiService> m_service;
    std::unique_ptr<MidiClient> m_client;
    std::unique_ptr<MidiInputPort> m_input;
    std::unique_ptr<MidiOutputPort> m_output;
    std::unique_ptr<ReceivedRecorder> m_recorder;
    std::unique_ptr<JackPeerClient> m_peer;
};

void JackThroughPortLayerTest::initTestCase()
{
    m_server.start();
}

void JackThroughPortLayerTest::init()
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

void JackThroughPortLayerTest::cleanup()
{
    m_input.reset();
    m_output.reset();
    m_client.reset();
    m_service.reset();
    m_recorder.reset();
    m_peer.reset();
}

void JackThroughPortLayerTest::cleanupTestCase()
{
    m_server.stop();
}

int JackThroughPortLayerTest::transmit(MidiOutputPort& port, const QByteArray& message)
{
    unsigned int timeStamp = 0;
    return port.transmitMidi(reinterpret_cast<const unsigned char*>(message.constData()),
                             static_cast<unsigned short>(message.size()), timeStamp);
}

void JackThroughPortLayerTest::menusListThePeersPortsButNotOurOwn()
{
    MIDI_RESULT result = MIDI_RESULT_ERROR;
    const QStringList inputs = m_input->getInputPortNameList(&result);
    QCOMPARE(result, MIDI_RESULT_OK);
    QVERIFY(inputs.contains(m_peer->outputName()));
    QVERIFY(!inputs.contains(m_peer->inputName()));
    const QStringList outputs = m_output->getOutputPortNameList(&result);
    QCOMPARE(result, MIDI_RESULT_OK);
    QVERIFY(outputs.contains(m_peer->inputName()));
    QVERIFY(!outputs.contains(m_peer->outputName()));
    for (const QString& name : inputs + outputs) {
        QVERIFY2(!name.startsWith(QStringLiteral("Tulvar MIDI:")), qPrintable(name));
    }
}

void JackThroughPortLayerTest::openedByNameReceivesEveryMessageIntact()
{
    QCOMPARE(m_input->openInputPort(m_peer->outputName()), 0);
    QString name;
    m_input->getCurrentPortName(name);
    QCOMPARE(name, m_peer->outputName());

    // A note, running status split over two deliveries, and a long exclusive arriving in pieces
    // with timing clock between them.
    QList<QByteArray> events = {bytes({0x90, 0x3C, 0x64}), bytes({0x91, 0x40, 0x7F}), bytes({0x41, 0x7F}),
                                bytes({0xE0, 0x00, 0x40}), bytes({0xF8})};
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
    QCOMPARE(joined(records), expected);
    QCOMPARE(records[1].data, events[1]);
    QCOMPARE(records[2].data, events[2]);
    QCOMPARE(records[0].portId, 0u);
    QCOMPARE(m_input->closeInputPort(), 0);
}

void JackThroughPortLayerTest::burstAndLongSysExReachThePeerInOrder()
{
    QCOMPARE(m_output->openOutputPort(m_peer->inputName()), 0);
    QByteArray expected;
    for (int i = 0; i < 2000; ++i) {
        const QByteArray message = i % 2 == 0 ? bytes({0x90 | (i % 16), i % 128, 1 + (i / 16) % 127})
                                              : bytes({0xB0 | (i % 16), 1, i % 128});
        QCOMPARE(transmit(*m_output, message), 0);
        expected += message;
    }
    const QByteArray dump = sysEx(16384);
    QCOMPARE(transmit(*m_output, dump), 0);
    expected += dump;
    QVERIFY(m_peer->waitForBytes(expected.size(), WaitMs));
    QCOMPARE(m_peer->takeReceived(), expected);
    QCOMPARE(m_output->closeOutputPort(), 0);
}

void JackThroughPortLayerTest::closingAfterThePeersPortVanishedLeavesPortsUnassigned()
{
    QCOMPARE(m_input->openInputPort(m_peer->outputName()), 0);
    QCOMPARE(m_output->openOutputPort(m_peer->inputName()), 0);
    m_peer->removeOutput();
    QCOMPARE(m_input->closeInputPort(), 1);
    QString name;
    m_input->getCurrentPortName(name);
    QCOMPARE(name, QStringLiteral("No Assign"));

    m_peer.reset();
    QCOMPARE(transmit(*m_output, bytes({0x90, 0x40, 0x7F})), 1);
    QCOMPARE(m_output->closeOutputPort(), 0);
    QVERIFY(m_output->getOutputPortNameList().isEmpty() ||
            !m_output->getOutputPortNameList().contains(QStringLiteral("tulvar-peer:in")));
}

void JackThroughPortLayerTest::serverKilledLeavesProgramRunningUntilAServerIsBack()
{
    QCOMPARE(m_input->openInputPort(m_peer->outputName()), 0);
    QCOMPARE(m_output->openOutputPort(m_peer->inputName()), 0);
    m_peer.reset();
    m_server.kill();

    // libjack notices the end of the server on a thread of its own, a moment later. (The menus
    // alone cannot tell: with the peer gone they are empty either way.)
    QTRY_VERIFY_WITH_TIMEOUT(!m_service->isOpen(), WaitMs);
    QCOMPARE(transmit(*m_output, bytes({0x90, 0x40, 0x7F})), 1);
    MIDI_RESULT result = MIDI_RESULT_ERROR;
    QVERIFY(m_input->getInputPortNameList(&result).isEmpty());
    QCOMPARE(result, MIDI_RESULT_OK);
    QVERIFY(m_output->getOutputPortNameList(&result).isEmpty());
    QCOMPARE(m_input->openInputPort(0u), 1);
    QCOMPARE(m_input->closeInputPort(), 1);
    QString name;
    m_input->getCurrentPortName(name);
    QCOMPARE(name, QStringLiteral("No Assign"));

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
    QCOMPARE(transmit(*m_output, bytes({0x80, 0x3C, 0x00})), 0);
    QVERIFY(m_peer->waitForBytes(3, WaitMs));
}

QTEST_GUILESS_MAIN(JackThroughPortLayerTest)
#include "tst_JackThroughPortLayer.moc"
