#include "small/MidiLibrary/midilib_messageBuff.h"
#include "small/MidiLibrary/midilib_status.h"

#include "MidiMessageRules.h"
#include "MidiTestSupport.h"

#include <QtTest>

class TestStatusBytes : public QObject
{
    Q_OBJECT

private slots:
    // Every byte against the rules written down independently of the library's table.
    void messageSizeFollowsTheRules()
    {
        for (int byte = 0; byte < 256; ++byte) {
            const int size = midirules::messageSize(uint8_t(byte));
            QVERIFY2(int(midilib_status_messageSize(uint8_t(byte))) == size, qPrintable(QString::number(byte, 16)));
            QCOMPARE(midilib_status_check(uint8_t(byte)), size != 0);
        }
    }

    void setChannelNumberChangesOnlyChannelStatus()
    {
        uint8_t status = 0x93;
        QCOMPARE(int(midilib_status_setChannelNumber(&status, 12)), 0x9C);
        QCOMPARE(int(status), 0x9C);
        uint8_t clock = 0xF8;
        QCOMPARE(int(midilib_status_setChannelNumber(&clock, 3)), 0xF8);
        QCOMPARE(int(clock), 0xF8);
    }

    void messageBuffersLayOutChannelMessages()
    {
        uint8_t data[3] = { 0, 0, 0x55 };
        auto laidOut = [&data](int length) { return QByteArray(reinterpret_cast<char *>(data), length); };
        midilib_programChangeBuff_init(data, 9, 0);
        QCOMPARE(laidOut(3), hex("C9 00 55")); // two bytes only
        midilib_channelKeyPressureBuff_init(data, 4, 90);
        QCOMPARE(laidOut(2), hex("D4 5A"));
        midilib_noteOffBuff_init(data, 0, 60, 64);
        QCOMPARE(laidOut(3), hex("80 3C 40"));
        midilib_noteOnBuff_init(data, 15, 127, 0);
        QCOMPARE(laidOut(3), hex("9F 7F 00"));
        midilib_polyKeyPressureBuff_init(data, 1, 60, 127);
        QCOMPARE(laidOut(3), hex("A1 3C 7F"));
        midilib_controlChangeBuff_init(data, 2, 7, 100);
        QCOMPARE(laidOut(3), hex("B2 07 64"));
        midilib_pitchBendData_init(data, 0, 0x00, 0x40);
        QCOMPARE(laidOut(3), hex("E0 00 40"));
    }
};

QTEST_APPLESS_MAIN(TestStatusBytes)
#include "tst_StatusBytes.moc"
