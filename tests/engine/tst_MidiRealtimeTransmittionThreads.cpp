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

// Lets the clock run on to `limit` and stand there; waits for that and for `count` messages.
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
        QTest::newRow("across midnight, no burst or stall") << Midnight - 500 << 1200 << 1000 << 48;
        // A project file may hold anything: 100000 is taken as 300.0 BPM, 0 as 5.0 BPM.
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

    // 0.5 s at 120.0 BPM, 0.5 s at 240.0 BPM, 4 s paused, 1 s of play: each part brings the clocks
    // of its own length and tempo, never a burst, and each start blinks.
    void tempoChangesAndPausesBringNoBurst()
    {
        RecordingTransmitter transmitter;
        SteppingClock clock(0, 1, 0);
        MidiTimingClockTransmittionThread thread(nullptr, &transmitter, &clock);
        BlinkCounter blinks(&thread);
        thread.setTempo(1200);
        thread.setPlayTimingClockFlag(true);
        QVERIFY(runTo(clock, 500, transmitter, 24));
        QCOMPARE(transmitter.count(), 24);
        thread.setTempo(2400);
        QVERIFY(runTo(clock, 1000, transmitter, 72));
        thread.setPlayTimingClockFlag(false);
        QCOMPARE(transmitter.count(), 72);

        clock.setLimit(5000);
        clock.setStep(4000);
        QCOMPARE(clock.elapsed(), 1000);
        clock.setStep(1);
        thread.setPlayTimingClockFlag(true);
        QVERIFY(runTo(clock, 6000, transmitter, 168));
        thread.setPlayTimingClockFlag(false);
        QCOMPARE(transmitter.count(), 168);
        QCOMPARE(blinks.count.load(), (1 + 72 / 24) + (1 + 96 / 24));
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

    void activeSensingSendsOncePerIntervalAfterTheFirst()
    {
        const std::uint64_t start = Midnight - 500; // across midnight, no burst or stall
        RecordingTransmitter transmitter;
        SteppingClock clock(start, 1, start);
        MidiActivesenseTransmittionThread thread(nullptr, &transmitter, &clock);
        thread.setActivesenseInterval(100);
        thread.setPlayActivesensingFlag(true);
        // Each interval counts from the end of the previous sending: nine in the first second.
        QVERIFY(runTo(clock, start + 1000, transmitter, 9));
        QCOMPARE(transmitter.count(), 9);
        QVERIFY(allBytesAre(transmitter, char(0xFE), 16));

        // Switching off waits for the interval under way (standing still); its message still goes out.
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

    void sleepingClockNeverSendsEarly()
    {
        // On the program's clock the worker sleeps between clocks and must not wake early: at 300.0
        // BPM clock n is due 8333 us x n after play, less the millisecond the clock may round off.
        std::vector<std::chrono::steady_clock::time_point> sentAt;
        std::mutex mutex;
        RecordingTransmitter transmitter;
        transmitter.setAfterSend([&](const TransmittedMessage&) {
            std::lock_guard<std::mutex> lock(mutex);
            sentAt.push_back(std::chrono::steady_clock::now());
        });
        MidiTimingClockTransmittionThread thread(nullptr, &transmitter);
        thread.setTempo(3000);
        const auto start = std::chrono::steady_clock::now();
        thread.setPlayTimingClockFlag(true);
        QVERIFY(transmitter.waitForMessages(24));
        thread.setPlayTimingClockFlag(false);
        std::lock_guard<std::mutex> lock(mutex);
        for (std::size_t n = 1; n <= sentAt.size(); ++n) {
            const auto earliest = start + std::chrono::microseconds(8333 * n) - std::chrono::milliseconds(1);
            QVERIFY2(sentAt[n - 1] >= earliest, qPrintable(QString("clock %1").arg(n)));
        }
    }

    // A paused thread's destruction ends every other test.
    void destructionEndsAThreadWaitingForAStoppedClock()
    {
        RecordingTransmitter transmitter;
        SteppingClock stoppedClock(0, 0);
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
