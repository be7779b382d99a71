#include "RecordingTransmitter.h"
#include "SteppingClock.h"

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
    void clockSends24PerBeatAndBlinksEveryBeat();
    void clockRunsAcrossMidnightWithoutBurstOrStall();
    void pausedTimeProducesNoClocks();
    void tempoChangeAppliesFromTheNextPollWithoutBurst();
    void tempoIsKeptWithinItsRange();
    void switchingOnIsNeverLost();
    void activeSensingSendsOncePerIntervalAfterTheFirst();
    void activeSensingRunsAcrossMidnight();
    void switchingActiveSensingOffLetsTheIntervalFinish();
    void destructionEndsAWaitingOrSpinningThread();
};

void tst_MidiRealtimeTransmittionThreads::clockSends24PerBeatAndBlinksEveryBeat()
{
    RecordingTransmitter transmitter;
    SteppingClock clock(0, 1, 1000);
    MidiTimingClockTransmittionThread thread(nullptr, &transmitter, &clock);
    BlinkCounter blinks(&thread);
    thread.setTempo(1200);
    thread.setPlayTimingClockFlag(true);
    // One second at 120.0 BPM: 48 clocks (a clock every 20833 us), a blink at the start and at
    // every 24th clock.
    QVERIFY(transmitter.waitForMessages(48));
    QTRY_COMPARE_WITH_TIMEOUT(clock.now(), std::uint64_t(1000), Timeout);
    thread.setPlayTimingClockFlag(false);
    QCOMPARE(transmitter.count(), 48);
    QCOMPARE(blinks.count.load(), 3);
    QVERIFY(allBytesAre(transmitter, char(0xF8), 12));
}

void tst_MidiRealtimeTransmittionThreads::clockRunsAcrossMidnightWithoutBurstOrStall()
{
    RecordingTransmitter transmitter;
    SteppingClock clock(Midnight - 500, 1, Midnight + 500);
    MidiTimingClockTransmittionThread thread(nullptr, &transmitter, &clock);
    thread.setTempo(1200);
    thread.setPlayTimingClockFlag(true);
    QVERIFY(transmitter.waitForMessages(48));
    QTRY_COMPARE_WITH_TIMEOUT(clock.now(), Midnight + 500, Timeout);
    thread.setPlayTimingClockFlag(false);
    QCOMPARE(transmitter.count(), 48);
}

void tst_MidiRealtimeTransmittionThreads::pausedTimeProducesNoClocks()
{
    RecordingTransmitter transmitter;
    SteppingClock clock(0, 1, 1000);
    MidiTimingClockTransmittionThread thread(nullptr, &transmitter, &clock);
    BlinkCounter blinks(&thread);
    thread.setTempo(1200);
    thread.setPlayTimingClockFlag(true);
    QVERIFY(transmitter.waitForMessages(48));
    QTRY_COMPARE_WITH_TIMEOUT(clock.now(), std::uint64_t(1000), Timeout);
    thread.setPlayTimingClockFlag(false);

    // Four paused seconds pass; the next second of play brings the next 48 clocks, carrying the
    // 16 us left over, and the beat count starts again.
    clock.setLimit(5000);
    clock.setStep(4000);
    QCOMPARE(clock.elapsed(), 1000);
    clock.setStep(1);
    clock.setLimit(6000);
    thread.setPlayTimingClockFlag(true);
    QVERIFY(transmitter.waitForMessages(96));
    QTRY_COMPARE_WITH_TIMEOUT(clock.now(), std::uint64_t(6000), Timeout);
    thread.setPlayTimingClockFlag(false);
    QCOMPARE(transmitter.count(), 96);
    QCOMPARE(blinks.count.load(), 6);
}

void tst_MidiRealtimeTransmittionThreads::tempoChangeAppliesFromTheNextPollWithoutBurst()
{
    RecordingTransmitter transmitter;
    SteppingClock clock(0, 1, 500);
    MidiTimingClockTransmittionThread thread(nullptr, &transmitter, &clock);
    thread.setTempo(1200);
    thread.setPlayTimingClockFlag(true);
    QVERIFY(transmitter.waitForMessages(24));
    QTRY_COMPARE_WITH_TIMEOUT(clock.now(), std::uint64_t(500), Timeout);
    QCOMPARE(transmitter.count(), 24); // 500 ms at 20833 us, 8 us left over

    thread.setTempo(2400);
    clock.setLimit(1000);
    // 500 more ms at 10416 us a clock, with the 8 us carried: 48 more.
    QVERIFY(transmitter.waitForMessages(72));
    QTRY_COMPARE_WITH_TIMEOUT(clock.now(), std::uint64_t(1000), Timeout);
    thread.setPlayTimingClockFlag(false);
    QCOMPARE(transmitter.count(), 72);
}

void tst_MidiRealtimeTransmittionThreads::tempoIsKeptWithinItsRange()
{
    RecordingTransmitter transmitter;
    SteppingClock clock(0, 1, 1000);
    MidiTimingClockTransmittionThread thread(nullptr, &transmitter, &clock);
    // A project file may hold anything; 100000 is taken as 300.0 BPM: 120 clocks a second.
    thread.setTempo(100000);
    thread.setPlayTimingClockFlag(true);
    QVERIFY(transmitter.waitForMessages(120));
    QTRY_COMPARE_WITH_TIMEOUT(clock.now(), std::uint64_t(1000), Timeout);
    thread.setPlayTimingClockFlag(false);
    QCOMPARE(transmitter.count(), 120);

    // 0 is taken as 5.0 BPM: 2 clocks a second.
    transmitter.clear();
    thread.setTempo(0);
    clock.setLimit(2000);
    thread.setPlayTimingClockFlag(true);
    QVERIFY(transmitter.waitForMessages(2));
    QTRY_COMPARE_WITH_TIMEOUT(clock.now(), std::uint64_t(2000), Timeout);
    thread.setPlayTimingClockFlag(false);
    QCOMPARE(transmitter.count(), 2);
}

void tst_MidiRealtimeTransmittionThreads::switchingOnIsNeverLost()
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

void tst_MidiRealtimeTransmittionThreads::activeSensingSendsOncePerIntervalAfterTheFirst()
{
    RecordingTransmitter transmitter;
    SteppingClock clock(0, 1, 1000);
    MidiActivesenseTransmittionThread thread(nullptr, &transmitter, &clock);
    thread.setActivesenseInterval(100);
    thread.setPlayActivesensingFlag(true);
    // Each interval is measured from the end of the previous sending, one reading later on this
    // clock: nine messages in the first second, the first after 100 ms.
    QVERIFY(transmitter.waitForMessages(9));
    QTRY_COMPARE_WITH_TIMEOUT(clock.now(), std::uint64_t(1000), Timeout);
    QCOMPARE(transmitter.count(), 9);
    QVERIFY(allBytesAre(transmitter, char(0xFE), 16));
}

void tst_MidiRealtimeTransmittionThreads::activeSensingRunsAcrossMidnight()
{
    RecordingTransmitter transmitter;
    SteppingClock clock(Midnight - 500, 1, Midnight + 500);
    MidiActivesenseTransmittionThread thread(nullptr, &transmitter, &clock);
    thread.setActivesenseInterval(100);
    thread.setPlayActivesensingFlag(true);
    QVERIFY(transmitter.waitForMessages(9));
    QTRY_COMPARE_WITH_TIMEOUT(clock.now(), Midnight + 500, Timeout);
    QCOMPARE(transmitter.count(), 9);
}

void tst_MidiRealtimeTransmittionThreads::switchingActiveSensingOffLetsTheIntervalFinish()
{
    RecordingTransmitter transmitter;
    SteppingClock clock(0, 1, 1000);
    MidiActivesenseTransmittionThread thread(nullptr, &transmitter, &clock);
    thread.setActivesenseInterval(100);
    thread.setPlayActivesensingFlag(true);
    QVERIFY(transmitter.waitForMessages(9));
    QTRY_COMPARE_WITH_TIMEOUT(clock.now(), std::uint64_t(1000), Timeout);

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

void tst_MidiRealtimeTransmittionThreads::destructionEndsAWaitingOrSpinningThread()
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

QTEST_GUILESS_MAIN(tst_MidiRealtimeTransmittionThreads)
#include "tst_MidiRealtimeTransmittionThreads.moc"
