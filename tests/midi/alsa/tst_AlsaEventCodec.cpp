#include "midi/ServiceTestKit.h"
#include "midi/alsa/AlsaEventCodec.h"
#include "midi/alsa/AlsaMidiService.h"

#include <QtTest>

namespace {
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
}

class AlsaEventCodecTest : public QObject {
    Q_OBJECT

private slots:
    void everyMessageKindSurvivesEncodeAndDecode_data();
    void everyMessageKindSurvivesEncodeAndDecode();
    void runningStatusContinuesIntoTheNextPacket();
    void sysExOfEveryAcceptedLengthIsOneVariableEvent_data();
    void sysExOfEveryAcceptedLengthIsOneVariableEvent();
    void unterminatedSysExEndsAtTheNextStatusByte();
    void sysExChunksDecodeToTheWholeMessage_data();
    void sysExChunksDecodeToTheWholeMessage();
    void eventsWithoutMidiMessageDecodeToNothing();
    void encodingStopsWhenAnEventCannotBeSent();
    void displayNameShowsTheClientWhereThePortNameLacksIt_data();
    void displayNameShowsTheClientWhereThePortNameLacksIt();
};

void AlsaEventCodecTest::everyMessageKindSurvivesEncodeAndDecode_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("decoded");
    const QList<QByteArray> messages = everyMessageKind();
    for (int i = 0; i < messages.size(); ++i) {
        // Running status needs the note before it.
        const QByteArray message = i == 1 ? messages[0] + messages[1] : messages[i];
        const QByteArray decoded = i == 1 ? messages[0] + char(0x90) + messages[1] : messages[i];
        QTest::newRow(message.toHex(' ').constData()) << message << decoded;
    }
    QTest::newRow("pitch bend high") << bytes({0xEF, 0x7F, 0x7F}) << bytes({0xEF, 0x7F, 0x7F});
    QTest::newRow("system exclusive") << sysEx(6) << sysEx(6);
    const QByteArray several = bytes({0x90, 0x3C, 0x64, 0xF8, 0xB0, 0x40, 0x7F, 0xF0, 0x01, 0xF7, 0xC0, 0x01});
    QTest::newRow("several messages in one packet") << several << several;
}

void AlsaEventCodecTest::everyMessageKindSurvivesEncodeAndDecode()
{
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, decoded);
    AlsaEventCodec codec;
    QVERIFY(codec.isValid());
    QCOMPARE(decode(codec, encode(codec, message).events), decoded);
}

void AlsaEventCodecTest::runningStatusContinuesIntoTheNextPacket()
{
    AlsaEventCodec codec;
    QCOMPARE(encode(codec, bytes({0x90, 0x3C, 0x64})).events.size(), 1);
    // Other clients read sequencer events, not bytes: a note must be a note event.
    const Encoded second = encode(codec, bytes({0x3E, 0x64, 0x40}));
    QCOMPARE(second.events.size(), 1);
    QCOMPARE(int(second.events[0].type), int(SND_SEQ_EVENT_NOTEON));
    QCOMPARE(int(second.events[0].data.note.note), 0x3E);
    // The pending data byte waits for its partner, as on a cable.
    const Encoded third = encode(codec, bytes({0x64}));
    QCOMPARE(third.events.size(), 1);
    QCOMPARE(decode(codec, second.events + third.events), bytes({0x90, 0x3E, 0x64, 0x90, 0x40, 0x64}));
}

void AlsaEventCodecTest::sysExOfEveryAcceptedLengthIsOneVariableEvent_data()
{
    QTest::addColumn<QByteArray>("message");
    for (int length : {2, 3, 31, 32, 33, 16384}) {
        QTest::newRow(qPrintable(QString::number(length))) << sysEx(length);
    }
    QTest::newRow("real-time byte inside") << bytes({0xF0, 0x01, 0xF8, 0x02, 0xF7});
}

void AlsaEventCodecTest::sysExOfEveryAcceptedLengthIsOneVariableEvent()
{
    QFETCH(QByteArray, message);
    AlsaEventCodec codec;
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
    QCOMPARE(encode(codec, bytes({0xF0, 0x01, 0x02})).variableData, QList<QByteArray>{bytes({0xF0, 0x01, 0x02})});
}

void AlsaEventCodecTest::sysExChunksDecodeToTheWholeMessage_data()
{
    QTest::addColumn<int>("chunkSize");
    for (int chunkSize : {1, 7, 16384}) {
        QTest::newRow(qPrintable(QString::number(chunkSize))) << chunkSize;
    }
}

void AlsaEventCodecTest::sysExChunksDecodeToTheWholeMessage()
{
    // Long exclusives from devices arrive as a series of events: the first starts with F0, the
    // last ends with F7, the ones between are bare data.
    QFETCH(int, chunkSize);
    const QByteArray message = sysEx(16384);
    QList<QByteArray> chunks;
    QList<snd_seq_event_t> events;
    for (int offset = 0; offset < message.size(); offset += chunkSize) {
        chunks.append(message.mid(offset, chunkSize));
        snd_seq_event_t event;
        snd_seq_ev_clear(&event);
        snd_seq_ev_set_sysex(&event, unsigned(chunks.last().size()), const_cast<char*>(chunks.last().constData()));
        events.append(event);
    }
    AlsaEventCodec codec;
    QCOMPARE(decode(codec, events), message);
}

void AlsaEventCodecTest::eventsWithoutMidiMessageDecodeToNothing()
{
    AlsaEventCodec codec;
    std::vector<unsigned char> out;
    // A subscription notice, and an exclusive whose data is not attached.
    for (const snd_seq_event_type_t type : {SND_SEQ_EVENT_PORT_SUBSCRIBED, SND_SEQ_EVENT_SYSEX}) {
        snd_seq_event_t event;
        snd_seq_ev_clear(&event);
        event.type = type;
        QVERIFY(!codec.decode(event, out));
        QVERIFY(out.empty());
    }
}

void AlsaEventCodecTest::encodingStopsWhenAnEventCannotBeSent()
{
    AlsaEventCodec codec;
    const QByteArray data = bytes({0x90, 0x3C, 0x64, 0x80, 0x3C, 0x00});
    int calls = 0;
    QVERIFY(!codec.encode(reinterpret_cast<const unsigned char*>(data.constData()), std::size_t(data.size()),
                          [&](snd_seq_event_t&) { return ++calls > 1; }));
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
