#include "small/MidiLibrary/midilib_messageBuff.h"
#include "small/MidiLibrary/midilib_status.h"

#include "testkit/MidiMessageRules.h"
#include "testkit/MidiBytes.h"

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

QTEST_APPLESS_MAIN(TestStatusBytes)
#include "tst_StatusBytes.moc"
