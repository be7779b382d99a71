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

    void plainAndChannelSeparateChannelStatus_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("plain");
        QTest::addColumn<bool>("isChannel");
        QTest::addColumn<int>("channel");

        QTest::newRow("note on ch 11") << 0x9A << 0x90 << true << 10;
        QTest::newRow("control change ch 16") << 0xBF << 0xB0 << true << 15;
        QTest::newRow("note off ch 1") << 0x80 << 0x80 << true << 0;
        QTest::newRow("pitch bend ch 16") << 0xEF << 0xE0 << true << 15;
        QTest::newRow("exclusive") << 0xF0 << 0xF0 << false << 255;
        QTest::newRow("timing clock") << 0xF8 << 0xF8 << false << 255;
        QTest::newRow("data byte") << 0x45 << 0x45 << false << 255;
    }

    void plainAndChannelSeparateChannelStatus()
    {
        QFETCH(int, byte);
        QFETCH(int, plain);
        QFETCH(bool, isChannel);
        QFETCH(int, channel);
        QCOMPARE(int(midilib_status_plain(uint8_t(byte))), plain);
        QCOMPARE(midilib_status_isChannelMessage(uint8_t(byte)), isChannel);
        QCOMPARE(int(midilib_status_getChannelNumber(uint8_t(byte))), channel);
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

    void fourteenBitValuesSplitLowBitsFirst_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<int>("value");

        QTest::newRow("centre") << 0x00 << 0x40 << 8192;
        QTest::newRow("zero") << 0x00 << 0x00 << 0;
        QTest::newRow("one") << 0x01 << 0x00 << 1;
        QTest::newRow("128") << 0x00 << 0x01 << 128;
        QTest::newRow("maximum") << 0x7F << 0x7F << 16383;
    }

    void fourteenBitValuesSplitLowBitsFirst()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(int, value);
        QCOMPARE(int(midilib_uint14_make(uint8_t(first), uint8_t(second))), value);
        QCOMPARE(int(midilib_uint14_msb(uint16_t(value))), first);
        QCOMPARE(int(midilib_uint14_lsb(uint16_t(value))), second);
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
