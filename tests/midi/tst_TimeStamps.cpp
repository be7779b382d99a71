#include "PortRig.h"

#include <QtTest>

namespace {
constexpr unsigned int MillisecondsPerDay = 86400000;
}

// Time stamps are the local time of day in milliseconds, counted from the start times that all
// ports share, wrapping at midnight.
class TimeStamps : public QObject {
    Q_OBJECT

private slots:
    void timeStampsCountFromTheStartAndWrapAtMidnight_data()
    {
        QTest::addColumn<qulonglong>("hostStartMs");
        QTest::addColumn<uint>("timeOfDayAtStart");
        QTest::addColumn<qulonglong>("nowMs");
        QTest::addColumn<uint>("expected");
        QTest::newRow("at the start") << 1000ull << 0u << 1000ull << 0u;
        QTest::newRow("last millisecond of the day") << 0ull << 86399990u << 9ull << 86399999u;
        QTest::newRow("midnight") << 0ull << 86399999u << 1ull << 0u;
        QTest::newRow("a day and a bit later") << 0ull << 100u << 86400050ull << 150u;
        QTest::newRow("before the start, across midnight") << 10000ull << 50u << 9900ull << 86399950u;
    }

    void timeStampsCountFromTheStartAndWrapAtMidnight()
    {
        QFETCH(qulonglong, hostStartMs);
        QFETCH(uint, timeOfDayAtStart);
        QFETCH(qulonglong, nowMs);
        QFETCH(uint, expected);
        PortRig rig(hostStartMs, timeOfDayAtStart);
        rig.service->setHostClock([nowMs] { return nowMs * NanosPerMs + NanosPerMs / 2; });
        QCOMPARE(rig.input->getTimeStamp(), expected);
        QCOMPARE(rig.output->getTimeStamp(), expected);

        QCOMPARE(rig.openOutput(0u), 0);
        QCOMPARE(rig.openInput(0u), 0);
        unsigned int sentAt = 0;
        QCOMPARE(rig.transmit(hex("FE"), &sentAt), 0);
        QCOMPARE(sentAt, expected);
        QVERIFY(rig.recorder.waitForCount(1));
        // A received packet carrying its own host time is stamped from it, one with 0 from now.
        QVERIFY(rig.inject(0, hex("F8"), (nowMs + 2) * NanosPerMs));
        QVERIFY(rig.inject(0, hex("F8"), 0));
        QVERIFY(rig.recorder.waitForCount(3));
        const auto records = rig.recorder.records();
        QCOMPARE(records[0].timeStamp, expected);
        QCOMPARE(records[0].portId, 1u);  // the rig's input port
        QCOMPARE(records[1].timeStamp, (expected + 2) % MillisecondsPerDay);
        QCOMPARE(records[2].timeStamp, expected);
    }

    // Several packets in one call keep their order and each its own time stamp; one longer than
    // a ring record arrives as consecutive slices with its time.
    void packetsOfOneCallKeepTheirOrderAndTimeStamps()
    {
        PortRig rig;
        QCOMPARE(rig.openInput(0u), 0);
        const QByteArray note = QByteArray::fromHex("903c40");
        const QByteArray dump(MaxMidiMessageLength + 100, char(0x11));
        auto packet = [](const QByteArray& bytes, std::uint64_t ms) {
            return MidiPacket{ms * NanosPerMs, std::uint16_t(bytes.size()),
                              reinterpret_cast<const unsigned char*>(bytes.constData())};
        };
        QVERIFY(rig.service->injectPackets(rig.service->getSource(0), {packet(note, 7), packet(dump, 3), packet(note, 9)}));
        QVERIFY(rig.recorder.waitForCount(4));
        const QList<QPair<QByteArray, uint>> expected{
            {note, 7}, {dump.left(MaxMidiMessageLength), 3}, {dump.mid(MaxMidiMessageLength), 3}, {note, 9}};
        const auto records = rig.recorder.records();
        QCOMPARE(records.size(), std::size_t(expected.size()));
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(records[std::size_t(i)].data, expected[i].first);
            QCOMPARE(records[std::size_t(i)].timeStamp, expected[i].second);
        }
    }
};

QTEST_GUILESS_MAIN(TimeStamps)
#include "tst_TimeStamps.moc"
