#include "small/MidiLibrary/midilib_event.h"
#include "small/MidiLibrary/midilib_messageBuff.h"
#include "small/MidiLibrary/midilib_status.h"

#include "testkit/MidiBytes.h"
#include "testkit/MidiMessageRules.h"

#include <QtTest>

// Messages as bytes: what a status byte opens, the message buffers, and events to bytes and back.
class TestEventConversion : public QObject
{
    Q_OBJECT

private slots:
    // Each layout of the event record: bytes become the expected event and the event gives the
    // same bytes. That every message converts back whole is the parser's property test.
    void everyTypeConvertsBothWays_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("first");  // first data byte, one data byte or 14-bit value
        QTest::addColumn<int>("second"); // second data byte (types 0 to 3)

        QTest::newRow("note on velocity 0 stays note on") << hex("93 3C 00") << 1 << 3 << 60 << 0;
        QTest::newRow("poly key pressure") << hex("AF 7F 10") << 2 << 15 << 127 << 16;
        QTest::newRow("program change") << hex("C9 00") << 4 << 9 << 0 << 0;
        QTest::newRow("channel key pressure") << hex("D1 33") << 5 << 1 << 0x33 << 0;
        QTest::newRow("pitch bend maximum") << hex("EE 7F 7F") << 6 << 14 << 16383 << 0;
        QByteArray largest(16384, char(0x55));
        largest[0] = char(0xF0);
        largest[16383] = char(0xF7);
        QTest::newRow("largest exclusive") << largest << 7 << 255 << 16384 << 0;
        // Only the opening 0xF0 is required; the conversion back adds nothing.
        QTest::newRow("exclusive kept as given") << hex("F0 01 F4 FD") << 7 << 255 << 4 << 0;
        QTest::newRow("song position high") << hex("F2 00 7F") << 9 << 255 << (127 << 7) << 0;
        QTest::newRow("timing clock") << hex("F8") << 12 << 255 << 0 << 0;
        QTest::newRow("system reset") << hex("FF") << 17 << 255 << 0 << 0;
    }

    void everyTypeConvertsBothWays()
    {
        QFETCH(QByteArray, message);
        QFETCH(int, type);
        QFETCH(int, first);
        QFETCH(int, second);

        int result = -2;
        auto event = eventFromBytes(message, &result);
        QCOMPARE(result, 0);
        QCOMPARE(int(event->type), type);
        QTEST(int(event->channelNumber), "channel");
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
        QTest::newRow("data byte first") << hex("40 40 40");
        QTest::newRow("program change of length 3") << hex("C5 10 20");
        QTest::newRow("note on too short") << hex("90 3C");
        QTest::newRow("undefined 0xF4") << hex("F4");
        QTest::newRow("lone end of exclusive") << hex("F7");
        QTest::newRow("status byte as note number") << hex("90 F9 40");
        QTest::newRow("status byte as song position") << hex("F2 01 F7");
        QTest::newRow("exclusive one byte too long") << QByteArray(16385, char(0x01)).replace(0, 1, "\xF0");
    }

    void malformedBytesAreNoEvent()
    {
        QFETCH(QByteArray, message);
        int result = 0;
        eventFromBytes(message, &result);
        QCOMPARE(result, -1);
    }

    // The status helpers nothing in the program calls yet, against rules written independently.
    void statusHelpersFollowTheRules()
    {
        for (int byte = 0; byte < 256; ++byte) {
            QCOMPARE(midilib_status_check(uint8_t(byte)), midirules::messageSize(uint8_t(byte)) != 0);
        }
        uint8_t status = 0x93;
        QCOMPARE(int(midilib_status_setChannelNumber(&status, 12)), 0x9C);
        QCOMPARE(int(status), 0x9C);
        uint8_t clock = 0xF8;
        QCOMPARE(int(midilib_status_setChannelNumber(&clock, 3)), 0xF8);
        QCOMPARE(int(clock), 0xF8);
    }

    void twoByteMessageBuffersWriteTwoBytes()
    {
        uint8_t data[3] = { 0, 0, 0x55 };
        auto laidOut = [&data](int length) { return QByteArray(reinterpret_cast<char *>(data), length); };
        midilib_programChangeBuff_init(data, 9, 0);
        QCOMPARE(laidOut(3), hex("C9 00 55")); // two bytes only
        midilib_channelKeyPressureBuff_init(data, 4, 90);
        QCOMPARE(laidOut(3), hex("D4 5A 55"));
    }
};

QTEST_APPLESS_MAIN(TestEventConversion)
#include "tst_EventConversion.moc"
