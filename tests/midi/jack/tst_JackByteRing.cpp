#include "midi/jack/JackByteRing.h"

#include <QtTest>

#include <thread>

class JackByteRingTest : public QObject {
    Q_OBJECT

private slots:
    void producerAndConsumerThreadsKeepEveryByteInOrder()
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
};

QTEST_GUILESS_MAIN(JackByteRingTest)
#include "tst_JackByteRing.moc"
