#include "testkit/RecordingTransmitter.h"
#include "testkit/SteppingClock.h"

#include "engine/MidiActivesenseTransmittionThread.h"
#include "engine/MidiTimingClockTransmittionThread.h"

#include <QtTest>

#include <atomic>
#include <thread>

namespace {

const int Timeout = 20000;
const std::uint64_t Midnight = 86400000;

// Counts blinkLed() as it is emitted, on the worker or the caller, without an event loop.
struct BlinkCounter {
    explicit BlinkCounter(MidiTimingClockTransmittionThread* thread)
    {
        QObject::connect(thread, &MidiTimingClockTransmittionThread::blinkLed, thread, [this] { ++count; },
                         Qt::DirectConnection);
    }
    std::atomic<int> count{0};
};

// Lets the clock run on to `limit`, where it stands still, and waits until it is there and at
// least `count` messages have gone out.
bool runTo(SteppingClock& clock, std::uint64_t limit, RecordingTransmitter& transmitter, int count)
{
    clock.setLimit(limit);
    return transmitter.waitForMessages(count) && QTest::qWaitFor([&] { return clock.now() == limit; }, Timeout);
}

bool allBytesAre(const RecordingTransmitter& transmitter, char status, unsigned char eventType)
{
    for (const TransmittedMessage& message : transmitter.messages()) {
        if (message.bytes != QByteArray(1, status) || message.eventType != eventType
            || message.group != OutputPortGroupBoth || message.skipBulkWait) {
            return false;
        }
    }
    return true;
}

} // namespace

class tst_MidiRealtimeTransmittionThreads : public QObject {
    Q_OBJECT

private slots:
    void clockSendsAtTheTempoAndBlinksEveryBeat_data()
    {
        QTest::addColumn<std::uint64_t>("start");
        QTest::addColumn<int>("tempo");
        QTest::addColumn<int>("milliseconds");
        QTest::addColumn<int>("clocks");
        // One second at 120.0 BPM: a clock every 20833 us, the first one interval after the start.
        QTest::newRow("120 BPM") << std::uint64_t(0) << 1200 << 1000 << 48;
        QTest::newRow("across midnight, no burst or stall") << Midnight - 500 << 1200 << 1000 << 48;
        // A project file may hold anything: 100000 is taken as 300.0 BPM, 0 as 5.0 BPM (a clock
        // every 500 ms, sent once that much has passed).
        QTest::newRow("above the range") << std::uint64_t(0) << 100000 << 1000 << 120;
        QTest::newRow("below the range") << std::uint64_t(0) << 0 << 2000 << 3;
    }

    void clockSendsAtTheTempoAndBlinksEveryBeat()
    {
        QFETCH(std::uint64_t, start);
        QFETCH(int, tempo);
        QFETCH(int, milliseconds);
        QFETCH(int, clocks);
        RecordingTransmitter transmitter;
        SteppingClock clock(start, 1, start);
        MidiTimingClockTransmittionThread thread(nullptr, &transmitter, &clock);
        BlinkCounter blinks(&thread);
        thread.setTempo(tempo);
        thread.setPlayTimingClockFlag(true);
        QVERIFY(runTo(clock, start + std::uint64_t(milliseconds), transmitter, clocks));
        thread.setPlayTimingClockFlag(false);
        QCOMPARE(transmitter.count(), clocks);
        // A blink at the start and at every 24th clock.
        QCOMPARE(blinks.count.load(), 1 + clocks / 24);
        QVERIFY(allBytesAre(transmitter, char(0xF8), 12));
    }

    void pausedTimeProducesNoClocks()
    {
        RecordingTransmitter transmitter;
        SteppingClock clock(0, 1, 0);
        MidiTimingClockTransmittionThread thread(nullptr, &transmitter, &clock);
        BlinkCounter blinks(&thread);
        thread.setTempo(1200);
        thread.setPlayTimingClockFlag(true);
        QVERIFY(runTo(clock, 1000, transmitter, 48));
        thread.setPlayTimingClockFlag(false);

        // Four paused seconds pass; the next second of play brings the next 48 clocks, carrying the
        // 16 us left over, and the beat count starts again.
        clock.setLimit(5000);
        clock.setStep(4000);
        QCOMPARE(clock.elapsed(), 1000);
        clock.setStep(1);
        thread.setPlayTimingClockFlag(true);
        QVERIFY(runTo(clock, 6000, transmitter, 96));
        thread.setPlayTimingClockFlag(false);
        QCOMPARE(transmitter.count(), 96);
        QCOMPARE(blinks.count.load(), 6);
    }

    void tempoChangeAppliesFromTheNextPollWithoutBurst()
    {
        RecordingTransmitter transmitter;
        SteppingClock clock(0, 1, 0);
        MidiTimingClockTransmittionThread thread(nullptr, &transmitter, &clock);
        thread.setTempo(1200);
        thread.setPlayTimingClockFlag(true);
        QVERIFY(runTo(clock, 500, transmitter, 24));
        QCOMPARE(transmitter.count(), 24); // 500 ms at 20833 us, 8 us left over

        // 500 more ms at 10416 us a clock, with the 8 us carried: 48 more.
        thread.setTempo(2400);
        QVERIFY(runTo(clock, 1000, transmitter, 72));
        thread.setPlayTimingClockFlag(false);
        QCOMPARE(transmitter.count(), 72);
    }

    void switchingOnIsNeverLost()
    {
        RecordingTransmitter transmitter;
        SteppingClock clock;
        MidiTimingClockTransmittionThread thread(nullptr, &transmitter, &clock);
        thread.setTempo(3000);
        // Switched on at every moment of the worker's loop, each switch-on must bring clocks.
        for (int round = 0; round < 200; ++round) {
            transmitter.clear();
            thread.setPlayTimingClockFlag(true);
            QVERIFY2(transmitter.waitForMessages(1), qPrintable(QString("round %1").arg(round)));
            thread.setPlayTimingClockFlag(false);
        }
    }

    void activeSensingSendsOncePerIntervalAfterTheFirst_data()
    {
        QTest::addColumn<std::uint64_t>("start");
        QTest::newRow("from zero") << std::uint64_t(0);
        QTest::newRow("across midnight") << Midnight - 500;
    }

    void activeSensingSendsOncePerIntervalAfterTheFirst()
    {
        QFETCH(std::uint64_t, start);
        RecordingTransmitter transmitter;
        SteppingClock clock(start, 1, start);
        MidiActivesenseTransmittionThread thread(nullptr, &transmitter, &clock);
        thread.setActivesenseInterval(100);
        thread.setPlayActivesensingFlag(true);
        // Each interval is measured from the end of the previous sending, one reading later on this
        // clock: nine messages in the first second, the first after 100 ms.
        QVERIFY(runTo(clock, start + 1000, transmitter, 9));
        QCOMPARE(transmitter.count(), 9);
        QVERIFY(allBytesAre(transmitter, char(0xFE), 16));

        // The tenth interval is under way and stands still with the clock. Switching off waits for
        // it; once the clock moves on, its message still goes out.
        std::thread switchOff([&thread] { thread.setPlayActivesensingFlag(false); });
        clock.setLimit(SteppingClock::NoLimit);
        switchOff.join();
        const int sent = transmitter.count();
        QVERIFY(sent >= 10);
        const std::uint64_t readings = clock.readings();
        // Paused, the thread neither reads the clock nor sends.
        thread.setActivesenseInterval(1000);
        QCOMPARE(clock.readings(), readings);
        QCOMPARE(transmitter.count(), sent);
    }

    void destructionEndsAWaitingOrSpinningThread()
    {
        RecordingTransmitter transmitter;
        SteppingClock stoppedClock(0, 0);
        {
            MidiActivesenseTransmittionThread paused(nullptr, &transmitter, &stoppedClock);
            MidiTimingClockTransmittionThread pausedClock(nullptr, &transmitter, &stoppedClock);
        }
        {
            // Spinning in an interval that never ends, and polling a clock that never moves.
            MidiActivesenseTransmittionThread spinning(nullptr, &transmitter, &stoppedClock);
            spinning.setPlayActivesensingFlag(true);
            MidiTimingClockTransmittionThread polling(nullptr, &transmitter, &stoppedClock);
            polling.setPlayTimingClockFlag(true);
            QTRY_VERIFY_WITH_TIMEOUT(stoppedClock.readings() > 100, Timeout);
        }
        QCOMPARE(transmitter.count(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_MidiRealtimeTransmittionThreads)
#include "tst_MidiRealtimeTransmittionThreads.moc"
