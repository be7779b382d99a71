#include "midi/jack/JackByteRing.h"

#include <QtTest>

#include <thread>

class JackByteRingTest : public QObject {
    Q_OBJECT

private slots:
    void recordsCrossingTheEndStayIntactAndAFullRingRefuses();
    void producerAndConsumerThreadsKeepEveryByteInOrder();
};

void JackByteRingTest::recordsCrossingTheEndStayIntactAndAFullRingRefuses()
{
    JackByteRing ring(10);
    QCOMPARE(ring.capacity(), std::size_t(16));
    const char head[3] = {1, 2, 3};
    const char body[8] = {10, 11, 12, 13, 14, 15, 16, 17};
    for (int round = 0; round < 20; ++round) {
        QVERIFY(ring.write(head, sizeof head, body, sizeof body));
        // No room for a second record: nothing of it is written.
        QVERIFY(!ring.write(head, sizeof head, body, sizeof body));
        QCOMPARE(ring.readSpace(), std::size_t(11));
        char out[11] = {};
        ring.peek(0, out, 3);
        ring.peek(3, out + 3, 8);
        ring.consume(11);
        QCOMPARE(QByteArray(out, 11), QByteArray(head, 3) + QByteArray(body, 8));
        QCOMPARE(ring.writeSpace(), std::size_t(16));
    }
    QVERIFY(ring.write(head, 3, nullptr, 0));
    ring.reset();
    QCOMPARE(ring.readSpace(), std::size_t(0));
}

void JackByteRingTest::producerAndConsumerThreadsKeepEveryByteInOrder()
{
    JackByteRing ring(64);
    constexpr int Records = 20000;
    std::thread producer([&] {
        for (int i = 0; i < Records; ++i) {
            const unsigned char length = static_cast<unsigned char>(1 + i % 23);
            unsigned char body[23];
            for (int j = 0; j < length; ++j) {
                body[j] = static_cast<unsigned char>(i + j);
            }
            while (!ring.write(&length, 1, body, length)) {
                std::this_thread::yield();
            }
        }
    });
    bool intact = true;
    for (int i = 0; i < Records; ++i) {
        while (ring.readSpace() == 0) {
            std::this_thread::yield();
        }
        unsigned char length = 0;
        unsigned char body[23];
        ring.peek(0, &length, 1);
        ring.peek(1, body, length);
        ring.consume(1u + length);
        intact = intact && length == 1 + i % 23;
        for (int j = 0; j < length && intact; ++j) {
            intact = body[j] == static_cast<unsigned char>(i + j);
        }
    }
    producer.join();
    QVERIFY(intact);
}

QTEST_GUILESS_MAIN(JackByteRingTest)
#include "tst_JackByteRing.moc"
