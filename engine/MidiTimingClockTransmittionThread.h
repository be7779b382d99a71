#pragma once

#include "support/ValueRange.h"
#include "engine/MidiRealtimeTransmittionThread.h"
#include "small/MidiLibrary/midilib_timingClockGenerator.h"

// Sends timing clock, 24 per beat, to both outputs at the tempo of the timing clock view, and
// flashes the view's beat light through blinkLed(): once when play starts and at every 24th
// clock. While playing it polls the millisecond clock continuously; clocks that fall due
// together (after a delay) go out back to back, and a paused span produces none.
class MidiTimingClockTransmittionThread : public MidiRealtimeTransmittionThread {
    Q_OBJECT

public:
    static constexpr unsigned char TempoMessage = 0xF8;
    static constexpr unsigned short TempoMessageSize = 1;
    static constexpr unsigned char BeatClockCount = 24;
    // Tenths of a beat per minute, the range of the timing clock view.
    static constexpr int DefaultTempo = TempoValue.defaultValue * 10;
    static constexpr int MinimumTempo = TempoValue.minimum * 10;
    static constexpr int MaximumTempo = TempoValue.maximum * 10;

    explicit MidiTimingClockTransmittionThread(QObject* parent, MidiTransmitterIF* transmitter,
                                               MillisecondClockIF* clock = nullptr);
    ~MidiTimingClockTransmittionThread() override;

    // Tenths of a beat per minute, kept within 50..3000; takes effect from the next poll.
    void setTempo(int tempo);
    void setPlayTimingClockFlag(bool play);

signals:
    void blinkLed();

private:
    void resumePlaying() override;
    void playOnce() override;

    // Written by the GUI thread, applied to the generator by the worker.
    std::atomic<int> m_tempo{DefaultTempo};
    // Guarded by the mutex.
    MIDILIB_TimingClockGenerator m_generator;
    int m_generatorTempo = DefaultTempo;
    unsigned char m_beatCounter = 0;
    int m_lastPollTime = 0;
};
