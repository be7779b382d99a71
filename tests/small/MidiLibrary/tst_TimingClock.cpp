#include "small/MidiLibrary/midilib_tempoMeasure.h"
#include "small/MidiLibrary/midilib_timingClockGenerator.h"

#include <QtTest>

#include <memory>

namespace {
const uint64_t OneDay = 86400000000ull;

std::unique_ptr<MIDILIB_TempoMeasure> newMeasure()
{
    auto measure = std::make_unique<MIDILIB_TempoMeasure>();
    midilib_tempoMeasure_init(measure.get());
    return measure;
}

// count clocks interval microseconds apart after time, wrapping at midnight; returns the last.
uint64_t clocks(MIDILIB_TempoMeasure *measure, uint64_t time, uint64_t interval, int count)
{
    for (int clock = 0; clock < count; ++clock) {
        time = (time + interval) % OneDay;
        midilib_tempoMeasure_setClockTiming(measure, time);
    }
    return time;
}

// The measured tempo in tenths of BPM, or -1 when there is none.
int tempoOf(MIDILIB_TempoMeasure *measure)
{
    uint32_t tempo = 0;
    return midilib_tempoMeasure_getTempo(measure, &tempo) == 0 ? int(tempo) : -1;
}
}

class TestTimingClock : public QObject
{
    Q_OBJECT

private slots:
    void generatorLosesNoTimeAndKeepsTheRemainderAcrossTempoChanges()
    {
        MIDILIB_TimingClockGenerator generator;
        midilib_timingClockGenerator_init(&generator);
        midilib_timingClockGenerator_setTempo(&generator, 1200);
        // A minute in 10 ms steps gives the 2880 clocks of 120 BPM, less at most one.
        uint64_t clocks = 0;
        uint64_t total = 0;
        for (int step = 0; step < 6000; ++step) {
            if (midilib_timingClockGenerator_generate(&generator, 10, &clocks) == 0) {
                total += clocks;
            }
        }
        QVERIFY(total == 2880 || total == 2879);

        // The remainder is kept across tempo changes.
        midilib_timingClockGenerator_init(&generator);
        clocks = 99;
        QCOMPARE(midilib_timingClockGenerator_generate(&generator, 20, &clocks), -1);
        QCOMPARE(clocks, uint64_t(99)); // not written
        midilib_timingClockGenerator_setTempo(&generator, 3000);
        QCOMPARE(midilib_timingClockGenerator_generate(&generator, 5, &clocks), 0);
        QCOMPARE(clocks, uint64_t(3)); // 25000 us
        QCOMPARE(generator.remainder, uint64_t(1));
        midilib_timingClockGenerator_setTempo(&generator, 50);
        QCOMPARE(generator.clockInterval, uint64_t(500000));
    }

    void tempoOfSteadyClocks_data()
    {
        QTest::addColumn<quint64>("interval");
        QTest::addColumn<quint32>("tempo");

        QTest::newRow("120.0 BPM") << 20833ull << 1200u;
        QTest::newRow("5.0 BPM") << 500000ull << 50u;
        QTest::newRow("faster than the cap") << 5000ull << 3000u;
        QTest::newRow("same time stamp twice") << 0ull << 3000u;
    }

    void tempoOfSteadyClocks()
    {
        QFETCH(quint64, interval);
        QFETCH(quint32, tempo);
        auto measure = newMeasure();
        uint64_t time = OneDay - 4 * 20833 + 100; // across midnight the interval is still the step
        midilib_tempoMeasure_setClockTiming(measure.get(), time);
        QCOMPARE(tempoOf(measure.get()), -1);
        for (int clock = 0; clock < 30; ++clock) {
            time = clocks(measure.get(), time, interval, 1);
            QCOMPARE(tempoOf(measure.get()), int(tempo));
        }
        QCOMPARE(midilib_tempoMeasure_getTempo(measure.get(), nullptr), -1);
    }

    void tempoAveragesTheLastQuarterNote()
    {
        auto measure = newMeasure();
        midilib_tempoMeasure_setClockTiming(measure.get(), 0);
        uint64_t time = clocks(measure.get(), 0, 20833, 24);
        time = clocks(measure.get(), time, 41666, 12);
        QCOMPARE(tempoOf(measure.get()), int(25000000u / ((12u * 20833u + 12u * 41666u) / 24u))); // half way: 80.0 BPM
        clocks(measure.get(), time, 41666, 12);
        QCOMPARE(tempoOf(measure.get()), 600);
    }

    // Three seconds without a clock keep the tempo, however slow, and the next microsecond loses it.
    void tempoIsForgottenAfterThreeSecondsOfSilence()
    {
        auto measure = newMeasure();
        uint64_t time = 0;
        midilib_tempoMeasure_setClockTiming(measure.get(), time);
        for (int second = 0; second < 10; ++second) {
            midilib_tempoMeasure_update(measure.get(), 2000000);
            time = clocks(measure.get(), time, 2000000, 1);
        }
        QCOMPARE(tempoOf(measure.get()), 12); // 1.2 BPM: each clock reset the silence
        for (int tick = 0; tick < 30; ++tick) {
            midilib_tempoMeasure_update(measure.get(), 100000);
        }
        QCOMPARE(tempoOf(measure.get()), 12);
        midilib_tempoMeasure_update(measure.get(), 1);
        QCOMPARE(tempoOf(measure.get()), -1);

        // Starting again, the first clock is the reference and the second gives the new tempo alone.
        time = clocks(measure.get(), time, 10000000, 1);
        QCOMPARE(tempoOf(measure.get()), -1);
        clocks(measure.get(), time, 41666, 1);
        QCOMPARE(tempoOf(measure.get()), 600);
    }
};

QTEST_APPLESS_MAIN(TestTimingClock)
#include "tst_TimingClock.moc"
