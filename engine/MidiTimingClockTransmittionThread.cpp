#include "engine/MidiTimingClockTransmittionThread.h"

#include "engine/MillisecondClock.h"
#include "small/MidiLibrary/midilib_event.h"

#include <algorithm>

MidiTimingClockTransmittionThread::MidiTimingClockTransmittionThread(QObject* parent, MidiTransmitterIF* transmitter,
                                                                     MillisecondClockIF* clock)
    : MidiRealtimeTransmittionThread(parent, transmitter, clock)
{
    midilib_timingClockGenerator_init(&m_generator);
    midilib_timingClockGenerator_setTempo(&m_generator, DefaultTempo);
    startWorker();
}

MidiTimingClockTransmittionThread::~MidiTimingClockTransmittionThread()
{
    finishWorker();
}

void MidiTimingClockTransmittionThread::setTempo(int tempo)
{
    m_tempo = std::clamp(tempo, MinimumTempo, MaximumTempo);
    wakeWorker();
}

void MidiTimingClockTransmittionThread::setPlayTimingClockFlag(bool play)
{
    {
        std::unique_lock<std::mutex> lock = lockAsSetter();
        setPlaying(play);
        if (!play) {
            m_beatCounter = 0;
        }
    }
    if (play) {
        emit blinkLed();
    }
}

void MidiTimingClockTransmittionThread::resumePlaying()
{
    m_lastPollTime = m_clock->elapsed();
}

std::optional<int> MidiTimingClockTransmittionThread::playOnce()
{
    const int now = m_clock->elapsed();
    // Read after the clock, so that a tempo set before the clock moved on applies to all of it.
    const int tempo = m_tempo.load();
    if (tempo != m_generatorTempo) {
        midilib_timingClockGenerator_setTempo(&m_generator, std::uint32_t(tempo));
        m_generatorTempo = tempo;
    }
    const int elapsed = MillisecondClockIF::millisecondsBetween(m_lastPollTime, now);
    m_lastPollTime = now;
    std::uint64_t clocks = 0;
    if (midilib_timingClockGenerator_generate(&m_generator, std::uint64_t(elapsed), &clocks) == 0) {
        for (std::uint64_t i = 0; i < clocks && !isStopping(); ++i) {
            ++m_beatCounter;
            transmitRealtimeMessage(TempoMessage, MIDILIB_Event_Type_TimingClock);
            if (m_beatCounter >= BeatClockCount) {
                emit blinkLed();
                m_beatCounter = 0;
            }
        }
    }
    // The generator gives the next clock once more than the interval less the remainder has
    // passed: the first whole millisecond after that.
    const std::uint64_t missing = m_generator.clockInterval - std::min(m_generator.remainder, m_generator.clockInterval);
    return MillisecondClockIF::readingAfter(now, int(missing / 1000) + 1);
}
