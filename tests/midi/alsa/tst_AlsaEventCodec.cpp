#include "midi/alsa/AlsaEventCodec.h"
#include "midi/alsa/AlsaMidiService.h"

#include <QtTest>

namespace {
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
        result[i] = char((i * 5) & 0x7F);
    }
    result[length - 1] = char(0xF7);
    return result;
}

// The events of one packet, with variable data copied out of the packet.
struct Encoded {
    QList<snd_seq_event_t> events;
    QList<QByteArray> variableData;
};

Encoded encode(AlsaEventCodec& codec, const QByteArray& data)
{
    Encoded encoded;
    codec.encode(reinterpret_cast<const unsigned char*>(data.constData()), std::size_t(data.size()),
                 [&](snd_seq_event_t& event) {
                     encoded.events.append(event);
                     const bool variable = (event.flags & SND_SEQ_EVENT_LENGTH_MASK) == SND_SEQ_EVENT_LENGTH_VARIABLE;
                     encoded.variableData.append(
                         variable ? QByteArray(static_cast<const char*>(event.data.ext.ptr), int(event.data.ext.len))
                                  : QByteArray());
                     return true;
                 });
    return encoded;
}

QByteArray decode(AlsaEventCodec& codec, const QList<snd_seq_event_t>& events)
{
    std::vector<unsigned char> out;
    for (const snd_seq_event_t& event : events) {
        codec.decode(event, out);
    }
    return QByteArray(reinterpret_cast<const char*>(out.data()), int(out.size()));
}

snd_seq_event_t sysExEvent(const QByteArray& chunk)
{
    snd_seq_event_t event;
    snd_seq_ev_clear(&event);
    snd_seq_ev_set_sysex(&event, unsigned(chunk.size()), const_cast<char*>(chunk.constData()));
    return event;
}
}

class AlsaEventCodecTest : public QObject {
    Q_OBJECT

private slots:
    void everyMessageKindSurvivesEncodeAndDecode_data();
    void everyMessageKindSurvivesEncodeAndDecode();
    void channelMessagesBecomeTheirSequencerEvents();
    void runningStatusContinuesIntoTheNextPacket();
    void sysExOfEveryAcceptedLengthIsOneVariableEvent_data();
    void sysExOfEveryAcceptedLengthIsOneVariableEvent();
    void unterminatedSysExEndsAtTheNextStatusByte();
    void realTimeBytesInsideSysExStayInPlace();
    void sysExChunksDecodeToTheWholeMessage();
    void decodingAlwaysWritesTheStatusByte();
    void eventsWithoutMidiMessageDecodeToNothing();
    void encodingStopsWhenAnEventCannotBeSent();
    void displayNameShowsTheClientWhereThePortNameLacksIt_data();
    void displayNameShowsTheClientWhereThePortNameLacksIt();
};

void AlsaEventCodecTest::everyMessageKindSurvivesEncodeAndDecode_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("note off") << bytes({0x81, 0x3C, 0x40});
    QTest::newRow("note on") << bytes({0x92, 0x3C, 0x64});
    QTest::newRow("polyphonic key pressure") << bytes({0xA3, 0x3C, 0x10});
    QTest::newRow("control change") << bytes({0xB4, 0x07, 0x7F});
    QTest::newRow("program change") << bytes({0xC5, 0x05});
    QTest::newRow("channel pressure") << bytes({0xD6, 0x22});
    QTest::newRow("pitch bend low") << bytes({0xE7, 0x00, 0x00});
    QTest::newRow("pitch bend centre") << bytes({0xE7, 0x00, 0x40});
    QTest::newRow("pitch bend high") << bytes({0xEF, 0x7F, 0x7F});
    QTest::newRow("time code quarter frame") << bytes({0xF1, 0x21});
    QTest::newRow("song position pointer") << bytes({0xF2, 0x10, 0x20});
    QTest::newRow("song select") << bytes({0xF3, 0x03});
    QTest::newRow("tune request") << bytes({0xF6});
    QTest::newRow("timing clock") << bytes({0xF8});
    QTest::newRow("start") << bytes({0xFA});
    QTest::newRow("continue") << bytes({0xFB});
    QTest::newRow("stop") << bytes({0xFC});
    QTest::newRow("active sensing") << bytes({0xFE});
    QTest::newRow("system reset") << bytes({0xFF});
    QTest::newRow("system exclusive") << bytes({0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7});
    QTest::newRow("several messages in one packet")
        << bytes({0x90, 0x3C, 0x64, 0xF8, 0xB0, 0x40, 0x7F, 0xF0, 0x01, 0xF7, 0xC0, 0x01});
}

void AlsaEventCodecTest::everyMessageKindSurvivesEncodeAndDecode()
{
    QFETCH(QByteArray, message);
    AlsaEventCodec codec;
    QVERIFY(codec.isValid());
    const Encoded encoded = encode(codec, message);
    QVERIFY(!encoded.events.isEmpty());
    QCOMPARE(decode(codec, encoded.events), message);
}

void AlsaEventCodecTest::channelMessagesBecomeTheirSequencerEvents()
{
    AlsaEventCodec codec;
    const Encoded encoded = encode(codec, bytes({0x93, 0x3C, 0x64, 0xB5, 0x07, 0x50, 0xE0, 0x00, 0x40}));
    QCOMPARE(encoded.events.size(), 3);
    QCOMPARE(int(encoded.events[0].type), int(SND_SEQ_EVENT_NOTEON));
    QCOMPARE(int(encoded.events[0].data.note.channel), 3);
    QCOMPARE(int(encoded.events[0].data.note.note), 0x3C);
    QCOMPARE(int(encoded.events[0].data.note.velocity), 0x64);
    QCOMPARE(int(encoded.events[1].type), int(SND_SEQ_EVENT_CONTROLLER));
    QCOMPARE(int(encoded.events[1].data.control.param), 7);
    QCOMPARE(int(encoded.events[1].data.control.value), 0x50);
    QCOMPARE(int(encoded.events[2].type), int(SND_SEQ_EVENT_PITCHBEND));
    QCOMPARE(int(encoded.events[2].data.control.value), 0);
}

void AlsaEventCodecTest::runningStatusContinuesIntoTheNextPacket()
{
    AlsaEventCodec codec;
    QCOMPARE(encode(codec, bytes({0x90, 0x3C, 0x64})).events.size(), 1);
    const Encoded second = encode(codec, bytes({0x3E, 0x64, 0x40}));
    QCOMPARE(second.events.size(), 1);
    QCOMPARE(int(second.events[0].type), int(SND_SEQ_EVENT_NOTEON));
    QCOMPARE(int(second.events[0].data.note.note), 0x3E);
    // The pending data byte waits for its partner, as on a cable.
    const Encoded third = encode(codec, bytes({0x64}));
    QCOMPARE(third.events.size(), 1);
    QCOMPARE(int(third.events[0].data.note.note), 0x40);
    QCOMPARE(decode(codec, second.events + third.events), bytes({0x90, 0x3E, 0x64, 0x90, 0x40, 0x64}));
}

void AlsaEventCodecTest::sysExOfEveryAcceptedLengthIsOneVariableEvent_data()
{
    QTest::addColumn<int>("length");
    for (int length : {2, 3, 4, 5, 31, 32, 33, 255, 256, 257, 1024, 4096, 16383, 16384}) {
        QTest::newRow(qPrintable(QString::number(length))) << length;
    }
}

void AlsaEventCodecTest::sysExOfEveryAcceptedLengthIsOneVariableEvent()
{
    QFETCH(int, length);
    AlsaEventCodec codec;
    const QByteArray message = sysEx(length);
    const Encoded encoded = encode(codec, message);
    QCOMPARE(encoded.events.size(), 1);
    QCOMPARE(int(encoded.events[0].type), int(SND_SEQ_EVENT_SYSEX));
    QCOMPARE(encoded.variableData[0], message);
}

void AlsaEventCodecTest::unterminatedSysExEndsAtTheNextStatusByte()
{
    AlsaEventCodec codec;
    const Encoded encoded = encode(codec, bytes({0xF0, 0x01, 0x02, 0x90, 0x40, 0x7F}));
    QCOMPARE(encoded.events.size(), 2);
    QCOMPARE(encoded.variableData[0], bytes({0xF0, 0x01, 0x02}));
    QCOMPARE(int(encoded.events[1].type), int(SND_SEQ_EVENT_NOTEON));

    const Encoded atEnd = encode(codec, bytes({0xF0, 0x01, 0x02}));
    QCOMPARE(atEnd.events.size(), 1);
    QCOMPARE(atEnd.variableData[0], bytes({0xF0, 0x01, 0x02}));
}

void AlsaEventCodecTest::realTimeBytesInsideSysExStayInPlace()
{
    AlsaEventCodec codec;
    const QByteArray message = bytes({0xF0, 0x01, 0xF8, 0x02, 0xF7});
    const Encoded encoded = encode(codec, message);
    QCOMPARE(encoded.events.size(), 1);
    QCOMPARE(encoded.variableData[0], message);
}

void AlsaEventCodecTest::sysExChunksDecodeToTheWholeMessage()
{
    // Long exclusives from devices arrive as a series of events: the first starts with F0, the
    // last ends with F7, the ones between are bare data.
    const QByteArray message = sysEx(16384);
    for (int chunkSize : {1, 7, 256, 4096, 16384}) {
        AlsaEventCodec codec;
        QList<QByteArray> chunks;
        QList<snd_seq_event_t> events;
        for (int offset = 0; offset < message.size(); offset += chunkSize) {
            chunks.append(message.mid(offset, chunkSize));
        }
        for (const QByteArray& chunk : chunks) {
            events.append(sysExEvent(chunk));
        }
        QCOMPARE(decode(codec, events), message);
    }
}

void AlsaEventCodecTest::decodingAlwaysWritesTheStatusByte()
{
    AlsaEventCodec codec;
    const Encoded encoded = encode(codec, bytes({0x90, 0x3C, 0x64, 0x3E, 0x64}));
    QCOMPARE(encoded.events.size(), 2);
    QCOMPARE(decode(codec, encoded.events), bytes({0x90, 0x3C, 0x64, 0x90, 0x3E, 0x64}));
}

void AlsaEventCodecTest::eventsWithoutMidiMessageDecodeToNothing()
{
    AlsaEventCodec codec;
    snd_seq_event_t event;
    snd_seq_ev_clear(&event);
    event.type = SND_SEQ_EVENT_PORT_SUBSCRIBED;
    std::vector<unsigned char> out;
    QVERIFY(!codec.decode(event, out));
    QVERIFY(out.empty());
    // An exclusive whose data is not attached is nothing either.
    snd_seq_ev_clear(&event);
    event.type = SND_SEQ_EVENT_SYSEX;
    QVERIFY(!codec.decode(event, out));
    QVERIFY(out.empty());
}

void AlsaEventCodecTest::encodingStopsWhenAnEventCannotBeSent()
{
    AlsaEventCodec codec;
    const QByteArray data = bytes({0x90, 0x3C, 0x64, 0x80, 0x3C, 0x00});
    int calls = 0;
    QVERIFY(!codec.encode(reinterpret_cast<const unsigned char*>(data.constData()), std::size_t(data.size()),
                          [&](snd_seq_event_t&) {
                              ++calls;
                              return false;
                          }));
    QCOMPARE(calls, 1);
}

void AlsaEventCodecTest::displayNameShowsTheClientWhereThePortNameLacksIt_data()
{
    QTest::addColumn<QString>("client");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("display");
    QTest::newRow("port named after client") << "Midi Through" << "Midi Through Port-0" << "Midi Through Port-0";
    QTest::newRow("generic port name") << "UM-ONE" << "MIDI 1" << "UM-ONE: MIDI 1";
    QTest::newRow("no client name") << "" << "Synth input port" << "Synth input port";
}

void AlsaEventCodecTest::displayNameShowsTheClientWhereThePortNameLacksIt()
{
    QFETCH(QString, client);
    QFETCH(QString, port);
    QFETCH(QString, display);
    QCOMPARE(AlsaMidiService::displayName(client, port), display);
}

QTEST_GUILESS_MAIN(AlsaEventCodecTest)
#include "tst_AlsaEventCodec.moc"
