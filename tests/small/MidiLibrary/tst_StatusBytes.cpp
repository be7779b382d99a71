#include "small/MidiLibrary/midilib_messageBuff.h"
#include "small/MidiLibrary/midilib_status.h"

#include "MidiTestSupport.h"

#include <QtTest>

class TestStatusBytes : public QObject
{
    Q_OBJECT

private slots:
    void messageSizeFollowsTheTable_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("size");

        QTest::newRow("data 0x00") << 0x00 << 0;
        QTest::newRow("data 0x7F") << 0x7F << 0;
        for (int channel = 0; channel < 16; ++channel) {
            const QByteArray suffix = QByteArray::number(channel, 16).toUpper();
            QTest::newRow(("0x8" + suffix).constData()) << (0x80 | channel) << 3;
            QTest::newRow(("0x9" + suffix).constData()) << (0x90 | channel) << 3;
            QTest::newRow(("0xA" + suffix).constData()) << (0xA0 | channel) << 3;
            QTest::newRow(("0xB" + suffix).constData()) << (0xB0 | channel) << 3;
            QTest::newRow(("0xC" + suffix).constData()) << (0xC0 | channel) << 2;
            QTest::newRow(("0xD" + suffix).constData()) << (0xD0 | channel) << 2;
            QTest::newRow(("0xE" + suffix).constData()) << (0xE0 | channel) << 3;
        }
        const int system[16] = { 16384, 2, 3, 2, 0, 0, 1, 0, 1, 0, 1, 1, 1, 0, 1, 1 };
        for (int i = 0; i < 16; ++i) {
            QTest::newRow(("0xF" + QByteArray::number(i, 16).toUpper()).constData()) << (0xF0 | i) << system[i];
        }
    }

    void messageSizeFollowsTheTable()
    {
        QFETCH(int, byte);
        QFETCH(int, size);
        QCOMPARE(int(midilib_status_messageSize(uint8_t(byte))), size);
        QCOMPARE(midilib_status_check(uint8_t(byte)), size != 0);
    }

    void everyDataByteOpensNothing()
    {
        for (int byte = 0; byte < 0x80; ++byte) {
            QCOMPARE(int(midilib_status_messageSize(uint8_t(byte))), 0);
            QVERIFY(!midilib_status_check(uint8_t(byte)));
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
        uint8_t data[3] = {};
        midilib_noteOffBuff_init(data, 0, 60, 64);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(data), 3), bytes({ 0x80, 0x3C, 0x40 }));
        midilib_noteOnBuff_init(data, 15, 127, 0);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(data), 3), bytes({ 0x9F, 0x7F, 0x00 }));
        midilib_polyKeyPressureBuff_init(data, 1, 60, 127);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(data), 3), bytes({ 0xA1, 0x3C, 0x7F }));
        midilib_controlChangeBuff_init(data, 2, 7, 100);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(data), 3), bytes({ 0xB2, 0x07, 0x64 }));
        midilib_pitchBendData_init(data, 0, 0x00, 0x40);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(data), 3), bytes({ 0xE0, 0x00, 0x40 }));

        uint8_t two[3] = { 0, 0, 0x55 };
        midilib_programChangeBuff_init(two, 9, 0);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(two), 3), bytes({ 0xC9, 0x00, 0x55 })); // two bytes only
        midilib_channelKeyPressureBuff_init(two, 4, 90);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(two), 2), bytes({ 0xD4, 0x5A }));
    }
};

QTEST_APPLESS_MAIN(TestStatusBytes)
#include "tst_StatusBytes.moc"
