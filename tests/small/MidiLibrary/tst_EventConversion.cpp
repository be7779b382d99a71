#include "small/MidiLibrary/midilib_event.h"

#include "MidiTestSupport.h"

#include <QtTest>

class TestEventConversion : public QObject
{
    Q_OBJECT

private slots:
    // Every event type: its bytes become the expected event, and the event gives the same bytes.
    void everyTypeConvertsBothWays_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("first");  // first data byte, one data byte or 14-bit value
        QTest::addColumn<int>("second"); // second data byte (types 0 to 3)

        QTest::newRow("note off") << bytes({ 0x80, 0x3C, 0x40 }) << 0 << 0 << 60 << 64;
        QTest::newRow("note on velocity 0 stays note on") << bytes({ 0x93, 0x3C, 0x00 }) << 1 << 3 << 60 << 0;
        QTest::newRow("poly key pressure") << bytes({ 0xAF, 0x7F, 0x7F }) << 2 << 15 << 127 << 127;
        QTest::newRow("control change") << bytes({ 0xB5, 0x07, 0x64 }) << 3 << 5 << 7 << 100;
        QTest::newRow("program change") << bytes({ 0xC9, 0x00 }) << 4 << 9 << 0 << 0;
        QTest::newRow("channel key pressure") << bytes({ 0xD1, 0x33 }) << 5 << 1 << 0x33 << 0;
        QTest::newRow("pitch bend centre") << bytes({ 0xE0, 0x00, 0x40 }) << 6 << 0 << 8192 << 0;
        QTest::newRow("pitch bend maximum") << bytes({ 0xEE, 0x7F, 0x7F }) << 6 << 14 << 16383 << 0;
        QTest::newRow("system exclusive") << bytes({ 0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7 }) << 7 << 255 << 6 << 0;
        QTest::newRow("time code") << bytes({ 0xF1, 0x20 }) << 8 << 255 << 0x20 << 0;
        QTest::newRow("song position 1") << bytes({ 0xF2, 0x01, 0x00 }) << 9 << 255 << 1 << 0;
        QTest::newRow("song position high") << bytes({ 0xF2, 0x00, 0x7F }) << 9 << 255 << (127 << 7) << 0;
        QTest::newRow("song select") << bytes({ 0xF3, 0x05 }) << 10 << 255 << 5 << 0;
        QTest::newRow("tune request") << bytes({ 0xF6 }) << 11 << 255 << 0 << 0;
        QTest::newRow("timing clock") << bytes({ 0xF8 }) << 12 << 255 << 0 << 0;
        QTest::newRow("start") << bytes({ 0xFA }) << 13 << 255 << 0 << 0;
        QTest::newRow("continue") << bytes({ 0xFB }) << 14 << 255 << 0 << 0;
        QTest::newRow("stop") << bytes({ 0xFC }) << 15 << 255 << 0 << 0;
        QTest::newRow("active sensing") << bytes({ 0xFE }) << 16 << 255 << 0 << 0;
        QTest::newRow("system reset") << bytes({ 0xFF }) << 17 << 255 << 0 << 0;
    }

    void everyTypeConvertsBothWays()
    {
        QFETCH(QByteArray, message);
        QFETCH(int, type);
        QFETCH(int, channel);
        QFETCH(int, first);
        QFETCH(int, second);

        int result = -2;
        auto event = eventFromBytes(message, &result);
        QCOMPARE(result, 0);
        QCOMPARE(int(event->type), type);
        QCOMPARE(int(event->channelNumber), channel);
        switch (type) {
        case MIDILIB_Event_Type_NoteOff:
        case MIDILIB_Event_Type_NoteOn:
        case MIDILIB_Event_Type_PolyKeyPressure:
        case MIDILIB_Event_Type_ControlChange:
            QCOMPARE(int(event->payload.twoBytes.first), first);
            QCOMPARE(int(event->payload.twoBytes.second), second);
            break;
        case MIDILIB_Event_Type_ProgramChange:
        case MIDILIB_Event_Type_ChannelKeyPressure:
        case MIDILIB_Event_Type_Mtc:
        case MIDILIB_Event_Type_SongSelect:
            QCOMPARE(int(event->payload.oneByte), first);
            break;
        case MIDILIB_Event_Type_PitchBend:
        case MIDILIB_Event_Type_SongPositionPointer:
            QCOMPARE(int(event->payload.uint14), first);
            break;
        case MIDILIB_Event_Type_SystemExclusive:
            QCOMPARE(int(event->payload.systemExclusive.length), first);
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(event->payload.systemExclusive.bytes), first), message);
            break;
        default:
            break;
        }
        QCOMPARE(eventBytes(*event), message);
    }

    void malformedBytesAreNoEvent_data()
    {
        QTest::addColumn<QByteArray>("message");

        QTest::newRow("empty") << QByteArray();
        QTest::newRow("data byte first") << bytes({ 0x40, 0x40, 0x40 });
        QTest::newRow("clock of length 2") << bytes({ 0xF8, 0x00 });
        QTest::newRow("program change of length 3") << bytes({ 0xC5, 0x10, 0x20 });
        QTest::newRow("note on too short") << bytes({ 0x90, 0x3C });
        QTest::newRow("undefined 0xF4") << bytes({ 0xF4 });
        QTest::newRow("undefined 0xF5") << bytes({ 0xF5 });
        QTest::newRow("lone end of exclusive") << bytes({ 0xF7 });
        QTest::newRow("undefined 0xF9") << bytes({ 0xF9 });
        QTest::newRow("undefined 0xFD") << bytes({ 0xFD });
        QTest::newRow("status byte as note number") << bytes({ 0x90, 0xF9, 0x40 });
        QTest::newRow("status byte as velocity") << bytes({ 0x90, 0x3C, 0x80 });
        QTest::newRow("status byte as song position") << bytes({ 0xF2, 0x01, 0xF7 });
        QTest::newRow("exclusive one byte too long") << QByteArray(16385, char(0x01)).replace(0, 1, "\xF0");
    }

    void malformedBytesAreNoEvent()
    {
        QFETCH(QByteArray, message);
        int result = 0;
        eventFromBytes(message, &result);
        QCOMPARE(result, -1);
    }

    void largestExclusiveConvertsBackWhole()
    {
        QByteArray message(16384, char(0x55));
        message[0] = char(0xF0);
        message[16383] = char(0xF7);
        int result = -2;
        auto event = eventFromBytes(message, &result);
        QCOMPARE(result, 0);
        QCOMPARE(event->payload.systemExclusive.length, uint64_t(16384));
        QCOMPARE(eventBytes(*event), message);
    }

    void exclusiveKeepsWhatItWasGiven()
    {
        // Only the opening 0xF0 is required; the conversion back adds nothing.
        const QByteArray message = bytes({ 0xF0, 0x01, 0xF4, 0xFD });
        int result = -2;
        auto event = eventFromBytes(message, &result);
        QCOMPARE(result, 0);
        QCOMPARE(eventBytes(*event), message);
    }

    void dataRecordCollectsOneMessage()
    {
        auto data = std::make_unique<MIDILIB_Data>();
        const uint8_t head[2] = { 0xF0, 0x41 };
        midilib_data_init(data.get(), head, 1, 2);
        QCOMPARE(midilib_data_getSize(data.get()), uint64_t(2));
        const uint8_t tail[2] = { 0x10, 0xF7 };
        QCOMPARE(midilib_data_write(data.get(), tail, 2, 1), uint64_t(1));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(midilib_data_getMemory(data.get())), 4),
                 bytes({ 0xF0, 0x41, 0x10, 0xF7 }));
        midilib_data_init(data.get(), nullptr, 0, 0);
        QCOMPARE(midilib_data_getSize(data.get()), uint64_t(0));
    }
};

QTEST_APPLESS_MAIN(TestEventConversion)
#include "tst_EventConversion.moc"
