#include "testkit/Hex.h"
#include "testkit/RecordingTransmitter.h"

#include "engine/MessageTables.h"
#include "engine/MidiAnalyzer.h"
#include "model/TulvarMidiModel.h"

#include <QtTest>

#include <memory>
#include <thread>

namespace {

const unsigned char* data(const QByteArray& bytes)
{
    return reinterpret_cast<const unsigned char*>(bytes.constData());
}

struct MonitorTexts {
    QByteArray received;
    quint32 receivedCount = 0;
    QByteArray systemExclusive;
    quint32 systemExclusiveCount = 0;
    QByteArray transmitted;
    quint32 transmittedCount = 0;
    bool any = false;
};

} // namespace

class tst_MidiAnalyzer : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_model = std::make_unique<TulvarMidiModel>();
        m_transmitter = std::make_unique<RecordingTransmitter>();
        m_analyzer = std::make_unique<MidiAnalyzer>(m_model.get(), m_transmitter.get());
    }

    void cleanup() { m_analyzer.reset(); } // before the model it observes

    // Filtered messages are neither shown nor passed through; active sensing is shown only.
    void thruPassesWhatTheFilterLetsThroughButActiveSensing()
    {
        set({{MidiThruParameterId, 1}, {MessageTypeFilterParameterId + MIDIFilterNoteOn, 1}});
        receive("903C40B00764903C00");
        // A note-on with velocity 0 counts as a note-off for the filter, but keeps its label.
        m_model->setModelIntValue(MessageDetailParameterId, 1);
        receive("903C00FEF8");
        QCOMPARE(take().received, QByteArray("\nB0 07 64\n90 3C 00\nPort1 NoteOn   90 3C 00 [C3]"
                                             "\nPort1 A.Sense  FE\nPort1 T.Clock  F8"));
        QCOMPARE(m_transmitter->sentBytes(),
                 (QList<QByteArray>{hex("B00764"), hex("903C00"), hex("903C00"), hex("F8")}));
    }

    void filterParametersSetTheirSwitches_data()
    {
        QTest::addColumn<uint>("id");
        QTest::addColumn<QByteArray>("blocked");
        QTest::addColumn<QByteArray>("passing");

        QTest::newRow("channel 1") << 600u << hex("903C40") << hex("913C40");
        QTest::newRow("channel 16") << 615u << hex("CF05") << hex("C005");
        QTest::newRow("note off") << 700u << hex("803C40") << hex("903C01");
        QTest::newRow("note on") << 701u << hex("903C01") << hex("803C40");
        QTest::newRow("controller 0") << 800u << hex("B00000") << hex("B00100");
        QTest::newRow("controller 127") << 927u << hex("B07F00") << hex("B07E00");
        QTest::newRow("time code") << 1000u << hex("F120") << hex("F20100");
        QTest::newRow("system reset") << 1105u << hex("FF") << hex("F8");
        // The headings of the message kind groups are switches of nothing.
        auto heading = [](unsigned int kind) { return uint(MessageTypeFilterParameterId + kind); };
        QTest::newRow("control change heading") << heading(MIDIFilterControlChange) << QByteArray() << hex("B00764");
        QTest::newRow("system common heading") << heading(MIDIFilterSystemCommon) << QByteArray() << hex("F120");
        QTest::newRow("real-time heading") << heading(MIDIFilterSystemRealtime) << QByteArray() << hex("F8FE");
    }

    void filterParametersSetTheirSwitches()
    {
        QFETCH(uint, id);
        QFETCH(QByteArray, blocked);
        QFETCH(QByteArray, passing);

        auto deliver = [this](const QByteArray& bytes) {
            receive(bytes.toHex().constData());
            return take().receivedCount;
        };
        QCOMPARE(deliver(blocked), quint32(blocked.size()));
        m_model->setModelIntValue(id, 1);
        QCOMPARE(deliver(blocked), 0u);
        QCOMPARE(deliver(passing), quint32(passing.size()));
        // A hand-edited switch value whose low byte is 0 still blocks.
        m_model->setModelIntValue(id, 256);
        QCOMPARE(deliver(blocked), 0u);
        m_model->setModelIntValue(id, 0);
        QCOMPARE(deliver(blocked), quint32(blocked.size()));
    }

    void thruGoesToTheOutputOfTheSameNumberOnly()
    {
        m_model->setModelIntValue(MidiThruParameterId, 1);
        receive("903C40", 0);
        receive("913C40", 1);
        const auto messages = m_transmitter->messages();
        QCOMPARE(int(messages.size()), 1);
        QCOMPARE(messages[0].bytes, hex("903C40"));
        QCOMPARE(messages[0].group, OutputPortGroupFirst);
        QCOMPARE(messages[0].eventType, (unsigned char)1);
        QVERIFY(messages[0].skipBulkWait);
        QCOMPARE(take().received, QByteArray("\n90 3C 40\n91 3C 40"));

        set({{MidiThruParameterId, 0}, {MidiThruSecondParameterId, 1}});
        m_transmitter->clear();
        receive("903C40", 0);
        receive("F07E7F0601F7", 1);
        QCOMPARE(int(m_transmitter->messages().size()), 1);
        QCOMPARE(m_transmitter->messages()[0].group, OutputPortGroupSecond);
        QCOMPARE(m_transmitter->messages()[0].bytes, hex("F07E7F0601F7"));
        QVERIFY(!m_analyzer->thruMIDI(data(hex("903C40")), 3, 1, OutputPortGroupBoth));

        // Deliveries from an input that does not exist are dropped.
        m_transmitter->clear();
        take();
        receive("903C40", 2);
        receive("903C40", 0xFFFFFFFFu);
        QVERIFY(!take().any);
        QCOMPARE(m_transmitter->calls(), 0);
    }

    void clearingTheOutTextDropsWhatWasSent()
    {
        sent("FA");
        m_analyzer->clearTransmittedDataBuffer();
        receive("FC");
        QCOMPARE(take().transmittedCount, 0u);
    }

    void unparsedChunksAreShownAndPassedWhole()
    {
        set({{MidiThruParameterId, 1}, {MessageDetailParameterId, 1}, {MessageParsedParameterId, 0}});
        // Filters do not apply to bytes that are not parsed.
        m_model->setModelIntValue(ChannelFilterParameterId, 1);
        receive("903C64FE803C00");
        QCOMPARE(take().received, QByteArray("\nPort1 -------- 90 3C 64 FE 80 3C 00"));
        const auto messages = m_transmitter->messages();
        QCOMPARE(int(messages.size()), 1);
        QCOMPARE(messages[0].bytes, hex("903C64FE803C00"));
        QCOMPARE(messages[0].eventType, UnparsedEventType);
    }

    // Each input has a parser of its own; switching parsing off and on discards what they hold.
    void halfMessagesCompleteOnTheirInputUntilTheParserIsSwitched()
    {
        receive("903C", 0);
        receive("40", 1);
        QVERIFY(!take().any);
        receive("40", 0);
        QCOMPARE(take().received, QByteArray("\n90 3C 40"));

        receive("F07E7F");
        receive("903C");
        set({{MessageParsedParameterId, 0}, {MessageParsedParameterId, 1}});
        receive("0601F7");
        receive("40");
        QVERIFY(!take().any);
        // Writing the same state again changes nothing.
        receive("F07E");
        m_model->setModelIntValue(MessageParsedParameterId, 2);
        receive("F7");
        QCOMPARE(take().received, QByteArray("\nF0 7E F7"));
    }

    void exclusivesOfOneChunkAreLinesOfTheirOwnInTheExclusiveText()
    {
        receive("F07E01F7F0431002F7903C40");
        const MonitorTexts texts = take();
        QCOMPARE(texts.systemExclusive, QByteArray("\nF0 7E 01 F7\nF0 43 10 02 F7"));
        QCOMPARE(texts.systemExclusiveCount, 9u);
        QCOMPARE(texts.received, QByteArray("\nF0 7E 01 F7\nF0 43 10 02 F7\n90 3C 40"));
    }

    // The lines' form is MonitorLineFormat's; here the settings must reach both monitors, at once and later.
    void displaySettingsComeFromTheModelForBothMonitors()
    {
        set({{MessageDetailParameterId, 1}});
        m_analyzer = std::make_unique<MidiAnalyzer>(m_model.get(), m_transmitter.get());
        set({{TimeStampParameterId, 1}, {MessageTimeFormatParameterId, 1}, {MessageMiddleCParameterId, 1}});
        receive("900040", 1, 3723004);
        sent("F07E7F0601F7", OutputPortGroupSecond, 3723004, 7);
        sent("", OutputPortGroupFirst, 0, 7);
        m_model->setModelIntValue(MessageParsedParameterId, 0);
        sent("903C40", OutputPortGroupFirst, 0, 1);
        const MonitorTexts texts = take();
        QCOMPARE(texts.received, QByteArray("\n000003723004 Port2 NoteOn   90 00 40 [C-1]"));
        QCOMPARE(texts.transmitted, QByteArray("\n000003723004 Port2 SysEx    F0 7E 7F 06 01 F7"
                                               "\n000000000000 Port1 -------- 90 3C 40"));
        QCOMPARE(texts.transmittedCount, 9u);
        QVERIFY(texts.systemExclusive.isEmpty());
    }

    void tempoIsMeasuredEvenWhenClockIsFiltered()
    {
        m_model->setModelIntValue(SystemRealtimeFilterParameterId + FilterSystemRealtimeTimingClock, 1);
        QCOMPARE(m_analyzer->getReceivedTimingClock(), 0u);
        receive("F8", 0, 1000);
        QCOMPARE(m_analyzer->getReceivedTimingClock(), 0u);
        // 125 beats per minute: a clock every 20 ms.
        receive("F8", 1, 1020);
        receive("F8", 0, 1040);
        QCOMPARE(m_analyzer->getReceivedTimingClock(), 1250u);
        QVERIFY(!take().any);
    }

    void concurrentDeliveryAndDrainingLoseNothing()
    {
        // Two inputs passing through, a sender recording, and this thread draining and switching detail.
        m_transmitter->setAfterSend([this](const TransmittedMessage& message) {
            m_analyzer->setTransmittedMidiData(data(message.bytes),
                                               static_cast<unsigned short>(message.bytes.size()), 0, message.eventType,
                                               message.group);
        });
        set({{MidiThruParameterId, 1}, {MidiThruSecondParameterId, 1}});
        const int Rounds = 2000;
        auto deliver = [this, Rounds](unsigned int group) {
            const QByteArray chunk = hex("903C40F07E01F7B0");
            const QByteArray rest = hex("0764");
            for (int i = 0; i < Rounds; ++i) {
                m_analyzer->receivedMidi(data(chunk), 8, quint32(i), group);
                m_analyzer->receivedMidi(data(rest), 2, quint32(i), group);
            }
        };
        auto sendFromWorker = [this, Rounds] {
            for (int i = 0; i < Rounds; ++i) {
                sent("FA");
            }
        };
        std::thread first(deliver, 0u);
        std::thread second(deliver, 1u);
        std::thread worker(sendFromWorker);

        const QSet<QByteArray> knownLines = {"", "90 3C 40", "F0 7E 01 F7", "B0 07 64 [007 Volume]", "B0 07 64",
                                             "Port1 NoteOn   90 3C 40 [C3]", "Port2 NoteOn   90 3C 40 [C3]",
                                             "Port1 SysEx    F0 7E 01 F7", "Port2 SysEx    F0 7E 01 F7",
                                             "Port1 CC       B0 07 64 [007 Volume]", "Port2 CC       B0 07 64 [007 Volume]"};
        bool allLinesWhole = true;
        quint64 received = 0, systemExclusive = 0, transmitted = 0;
        const quint64 expectedReceived = 2ull * Rounds * 10;
        const quint64 expectedTransmitted = 2ull * Rounds * 10 + Rounds;
        QDeadlineTimer deadline(60000);
        int flip = 0;
        while ((received < expectedReceived || transmitted < expectedTransmitted) && !deadline.hasExpired()) {
            m_model->setModelIntValue(MessageDetailParameterId, ++flip % 2);
            MonitorTexts texts = take();
            received += texts.receivedCount;
            systemExclusive += texts.systemExclusiveCount;
            transmitted += texts.transmittedCount;
            for (const QByteArray& line : texts.received.split('\n')) {
                allLinesWhole = allLinesWhole && knownLines.contains(line);
            }
        }
        first.join();
        second.join();
        worker.join();
        const MonitorTexts rest = take();
        QVERIFY(allLinesWhole);
        QCOMPARE(received + rest.receivedCount, expectedReceived);
        QCOMPARE(systemExclusive + rest.systemExclusiveCount, 2ull * Rounds * 4);
        QCOMPARE(transmitted + rest.transmittedCount, expectedTransmitted);
    }

private:
    void set(std::initializer_list<std::pair<unsigned int, int>> values)
    {
        for (const auto& value : values)
            m_model->setModelIntValue(value.first, value.second);
    }

    MonitorTexts take()
    {
        MonitorTexts texts;
        texts.any = m_analyzer->getMidiData(texts.received, texts.receivedCount, texts.systemExclusive,
                                            texts.systemExclusiveCount, texts.transmitted, texts.transmittedCount);
        return texts;
    }

    // What the transmit path reports having sent.
    void sent(const char* hexBytes, OutputPortGroup group = OutputPortGroupFirst, quint32 timeStamp = 0,
              unsigned char eventType = 13)
    {
        const QByteArray bytes = hex(hexBytes);
        m_analyzer->setTransmittedMidiData(data(bytes), static_cast<unsigned short>(bytes.size()), timeStamp, eventType,
                                           group);
    }

    void receive(const char* hexBytes, unsigned int group = 0, quint32 timeStamp = 0)
    {
        const QByteArray bytes = hex(hexBytes);
        MidiAnalyzer::callbackReceivedMidi(m_analyzer.get(), data(bytes),
                                           static_cast<unsigned short>(bytes.size()), timeStamp, group);
    }

    std::unique_ptr<TulvarMidiModel> m_model;
    std::unique_ptr<RecordingTransmitter> m_transmitter;
    std::unique_ptr<MidiAnalyzer> m_analyzer;
};

QTEST_GUILESS_MAIN(tst_MidiAnalyzer)
#include "tst_MidiAnalyzer.moc"
