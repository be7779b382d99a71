#include "ReceivedRecorder.h"
#include "midi/MidiInputPort.h"
#include "midi/MidiOutputPort.h"
#include "midi/loopback/LoopbackMidiService.h"

#include <QtTest>

#include <memory>

// Messages sent on an output port come back whole, in order and stamped, on the input port that
// listens to the same loopback endpoint.
class LoopbackRoundTrip : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_service = std::make_unique<LoopbackMidiService>();
        m_client = std::make_unique<MidiClient>(*m_service);
        m_input = std::make_unique<MidiInputPort>(m_client.get(), MaxMidiMessageLength, 1, 0, 0);
        m_output = std::make_unique<MidiOutputPort>(m_client.get(), MaxMidiMessageLength, 0, 0, 0);
        m_recorder = std::make_unique<ReceivedRecorder>();
        m_input->setReceivedMidiCallbackFunc(&ReceivedRecorder::callback, m_recorder.get());
        QCOMPARE(m_input->getInputPortNameList(), QStringList({"Loopback A", "Loopback B"}));
        QCOMPARE(m_output->getOutputPortNameList(), QStringList({"Loopback A", "Loopback B"}));
    }

    void cleanup()
    {
        m_input.reset();
        m_output.reset();
        m_client.reset();
        m_service.reset();
        m_recorder.reset();
    }

    void largestSystemExclusiveArrivesIntact()
    {
        QCOMPARE(m_input->openInputPort(QStringLiteral("Loopback B")), 0);
        QCOMPARE(m_output->openOutputPort(QStringLiteral("Loopback B")), 0);
        QByteArray sysex(MaxMidiMessageLength, '\0');
        sysex[0] = char(0xF0);
        for (int i = 1; i < sysex.size() - 1; ++i) {
            sysex[i] = char(i % 128);
        }
        sysex[sysex.size() - 1] = char(0xF7);
        unsigned int timeStamp = 0;
        QCOMPARE(m_output->transmitMidi(reinterpret_cast<const unsigned char*>(sysex.constData()),
                                        static_cast<unsigned short>(sysex.size()), timeStamp),
                 0);
        QVERIFY(m_recorder->waitForCount(1));
        const auto records = m_recorder->records();
        QCOMPARE(records.size(), std::size_t(1));
        QCOMPARE(records[0].data, sysex);
        QCOMPARE(records[0].portId, 1u);
    }

    void messagesArriveInOrderOnlyFromTheirEndpoint()
    {
        QCOMPARE(m_input->openInputPort(0u), 0);
        QCOMPARE(m_output->openOutputPort(1u), 0);
        const unsigned char elsewhere[] = {0x90, 0x3C, 0x40};
        unsigned int timeStamp = 0;
        QCOMPARE(m_output->transmitMidi(elsewhere, 3, timeStamp), 0);
        QCOMPARE(m_output->openOutputPort(0u), 0);
        for (unsigned char note = 0; note < 100; ++note) {
            const unsigned char message[] = {0x90, note, 0x7F};
            QCOMPARE(m_output->transmitMidi(message, 3, timeStamp), 0);
        }
        QVERIFY(m_recorder->waitForCount(100));
        QVERIFY(m_service->waitUntilDelivered(20000));
        const auto records = m_recorder->records();
        QCOMPARE(records.size(), std::size_t(100));
        for (unsigned char note = 0; note < 100; ++note) {
            QCOMPARE(records[note].data, QByteArray::fromRawData("\x90", 1) + char(note) + char(0x7F));
        }
    }

private:
    std::unique_ptr<LoopbackMidiService> m_service;
    std::unique_ptr<MidiClient> m_client;
    std::unique_ptr<MidiInputPort> m_input;
    std::unique_ptr<MidiOutputPort> m_output;
    std::unique_ptr<ReceivedRecorder> m_recorder;
};

QTEST_GUILESS_MAIN(LoopbackRoundTrip)
#include "tst_LoopbackRoundTrip.moc"
