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
}

void MidiActivesenseTransmittionThread::setPlayActivesensingFlag(bool play)
{
    std::unique_lock<std::mutex> lock = lockAsSetter();
    setPlaying(play);
}

void MidiActivesenseTransmittionThread::playOnce()
{
    const int start = m_clock->elapsed();
    while (MillisecondClockIF::millisecondsBetween(start, m_clock->elapsed()) < m_interval.load()) {
        if (isStopping()) {
            return;
        }
        QThread::yieldCurrentThread();
    }
    transmitRealtimeMessage(ActivesenseMessage, MIDILIB_Event_Type_ActiveSensing);
}
