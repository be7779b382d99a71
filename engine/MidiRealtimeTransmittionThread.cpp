#include "engine/MidiRealtimeTransmittionThread.h"

#include "engine/MillisecondClock.h"

namespace {

// Waking this much before the due millisecond covers the timer slack and the scheduler's wake-up
// latency; the rest of the wait polls the clock.
constexpr std::chrono::microseconds EarlyWake(200);

} // namespace

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
    // Before the mutex: the stop must reach a worker that sleeps or polls with the mutex held.
    m_stop = true;
    wakeWorker();
    {
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
    wakeWorker();
}

void MidiRealtimeTransmittionThread::wakeWorker()
{
    {
        std::lock_guard<std::mutex> lock(m_sleepMutex);
        m_wakeRequested = true;
    }
    m_sleep.notify_all();
}

void MidiRealtimeTransmittionThread::waitForReading(int reading)
{
    const std::optional<std::chrono::steady_clock::time_point> moment = m_clock->momentOf(reading);
    if (!moment || *moment - std::chrono::steady_clock::now() <= EarlyWake) {
        QThread::yieldCurrentThread();
        return;
    }
    std::unique_lock<std::mutex> lock(m_sleepMutex);
    m_sleep.wait_until(lock, *moment - EarlyWake, [this] { return m_wakeRequested || m_stop.load(); });
    m_wakeRequested = false;
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
        const std::optional<int> due = playOnce();
        lock.unlock();
        if (due) {
            waitForReading(*due);
        }
        while (m_waitingSetters.load() > 0) {
            QThread::yieldCurrentThread();
        }
        lock.lock();
    }
}
