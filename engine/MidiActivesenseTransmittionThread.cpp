#include "engine/MidiActivesenseTransmittionThread.h"

#include "engine/MillisecondClock.h"
#include "small/MidiLibrary/midilib_event.h"

#include <algorithm>

MidiActivesenseTransmittionThread::MidiActivesenseTransmittionThread(QObject* parent, MidiTransmitterIF* transmitter,
                                                                     MillisecondClockIF* clock)
    : MidiRealtimeTransmittionThread(parent, transmitter, clock)
{
    startWorker();
}

MidiActivesenseTransmittionThread::~MidiActivesenseTransmittionThread()
{
    finishWorker();
}

void MidiActivesenseTransmittionThread::setActivesenseInterval(int milliseconds)
{
    m_interval = std::clamp(milliseconds, MinimumInterval, MaximumInterval);
    wakeWorker();
}

void MidiActivesenseTransmittionThread::setPlayActivesensingFlag(bool play)
{
    std::unique_lock<std::mutex> lock = lockAsSetter();
    setPlaying(play);
}

std::optional<int> MidiActivesenseTransmittionThread::playOnce()
{
    // The mutex stays held through the interval: switching off waits for it and its message.
    const int start = m_clock->elapsed();
    while (MillisecondClockIF::millisecondsBetween(start, m_clock->elapsed()) < m_interval.load()) {
        if (isStopping()) {
            return std::nullopt;
        }
        waitForReading(MillisecondClockIF::readingAfter(start, m_interval.load()));
    }
    transmitRealtimeMessage(ActivesenseMessage, MIDILIB_Event_Type_ActiveSensing);
    return std::nullopt;
}
