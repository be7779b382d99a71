#include "engine/MidiRealtimeTransmittionThread.h"

#include "engine/MillisecondClock.h"

MidiRealtimeTransmittionThread::MidiRealtimeTransmittionThread(QObject* parent, MidiTransmitterIF* transmitter,
                                                               MillisecondClockIF* clock)
    : QThread(parent)
    , m_clock(clock != nullptr ? clock : SteadyMillisecondClock::instance())
    , m_transmitter(transmitter)
{
}

MidiRealtimeTransmittionThread::~MidiRealtimeTransmittionThread()
{
    finishWorker();
}

void MidiRealtimeTransmittionThread::startWorker()
{
    start(QThread::InheritPriority);
    setPriority(QThread::NormalPriority);
}

void MidiRealtimeTransmittionThread::finishWorker()
{
    {
        // Not lockAsSetter: the stop flag must reach a worker spinning with the mutex held.
        m_stop = true;
        std::unique_lock<std::mutex> lock = lockAsSetter();
        m_wake.notify_all();
    }
    wait();
}

std::unique_lock<std::mutex> MidiRealtimeTransmittionThread::lockAsSetter()
{
    ++m_waitingSetters;
    std::unique_lock<std::mutex> lock(m_mutex);
    --m_waitingSetters;
    return lock;
}

void MidiRealtimeTransmittionThread::setPlaying(bool play)
{
    // Off and on again before the worker noticed still starts afresh: the pause sends nothing.
    m_resuming = m_resuming || (play && !m_play);
    m_play = play;
    if (play) {
        m_wake.notify_all();
    }
}

bool MidiRealtimeTransmittionThread::transmitRealtimeMessage(unsigned char status, unsigned char eventType)
{
    return m_transmitter->transmitMidi(&status, 1, eventType, OutputPortGroupBoth, false);
}

void MidiRealtimeTransmittionThread::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop.load()) {
        if (!m_play) {
            m_wake.wait(lock, [this] { return m_play || m_stop.load(); });
            continue;
        }
        if (m_resuming) {
            resumePlaying();
            m_resuming = false;
        }
        playOnce();
        lock.unlock();
        do {
            QThread::yieldCurrentThread();
        } while (m_waitingSetters.load() > 0);
        lock.lock();
    }
}
