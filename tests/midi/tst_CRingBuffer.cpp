#include "midi/CRingBuffer.h"

#include <QtTest>

// Fields are copied in and out whole across the end of the storage, and the ring reports the
// copies that wrapped, which its owner counts as laps.
class CRingBufferTest : public QObject {
    Q_OBJECT

private slots:
    void fieldsWrapAtTheEndOfTheStorage_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("wraps");
        QTest::addColumn<int>("endIndex");
        QTest::newRow("inside") << 2 << 3 << false << 5;
        QTest::newRow("ends exactly at the end") << 5 << 3 << false << 8;
        QTest::newRow("split 1 + 2") << 7 << 3 << true << 2;
        QTest::newRow("starts at the end") << 8 << 3 << true << 3;
        QTest::newRow("whole ring from the end") << 8 << 8 << true << 8;
        QTest::newRow("nothing at the end") << 8 << 0 << false << 8;
    }

    void fieldsWrapAtTheEndOfTheStorage()
    {
        QFETCH(int, start);
        QFETCH(int, count);
        QFETCH(bool, wraps);
        QFETCH(int, endIndex);
        CRingBuffer<unsigned char> ring(8);
        unsigned char filler[8] = {};
        for (int moved = 0; moved < start; moved += 1) {
            ring.write(filler, 1);
            ring.read(filler, 1);
        }
        unsigned char in[8];
        for (int i = 0; i < 8; ++i) {
            in[i] = static_cast<unsigned char>(0xA0 + i);
        }
        QCOMPARE(ring.write(in, std::size_t(count)), wraps);
        QCOMPARE(int(ring.writeIndex()), endIndex);
        unsigned char out[8] = {};
        QCOMPARE(ring.read(out, std::size_t(count)), wraps);
        QCOMPARE(int(ring.readIndex()), endIndex);
        QCOMPARE(QByteArray(reinterpret_cast<char*>(out), count), QByteArray(reinterpret_cast<char*>(in), count));
    }
};

QTEST_GUILESS_MAIN(CRingBufferTest)
#include "tst_CRingBuffer.moc"
