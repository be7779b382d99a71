#pragma once

#include "engine/MidiTransmitterIF.h"

#include <QThread>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>

class MillisecondClockIF;

// What the timing clock and active sensing threads share: a worker that runs from construction to
// destruction, paused on a wake condition or playing. While playing it sleeps until the next
// message is due, waking a little early and finishing the wait on the clock, so that a running
// clock costs a few percent of a core instead of a whole one; on a clock that does not follow
// real time (a test's) it polls instead. The play switch and the sending share one mutex, so
// switching off waits for the sending in progress; the pause test and the wait happen under that
// same mutex, so a switch-on is never lost between them.
class MidiRealtimeTransmittionThread : public QThread {
    Q_OBJECT

public:
    ~MidiRealtimeTransmittionThread() override;

protected:
    MidiRealtimeTransmittionThread(QObject* parent, MidiTransmitterIF* transmitter, MillisecondClockIF* clock);

    // Subclasses start the worker at the end of their constructor and finish it first thing in
    // their destructor.
    void startWorker();
    void finishWorker();

    // Takes the mutex for a setter. The playing loop gives way to a setter that waits, so that a
    // polling worker never starves the window.
    std::unique_lock<std::mutex> lockAsSetter();
    // Under the mutex: switches playing on (waking the worker) or off.
    void setPlaying(bool play);
    // Cuts a sleep short, so that the worker looks again at what a setter changed.
    void wakeWorker();

    // Called with the mutex held: once when playing starts, and then over and over while playing.
    // playOnce returns the clock reading at which it wants to run next (the worker sleeps until
    // then without the mutex), or nothing to run again at once.
    virtual void resumePlaying() = 0;
    virtual std::optional<int> playOnce() = 0;

    // Sleeps until shortly before the clock shows `reading` or until woken; on a polling clock,
    // or that close to the reading, only gives the processor away once. Callers read the clock
    // again and repeat until it shows the reading.
    void waitForReading(int reading);

    bool transmitRealtimeMessage(unsigned char status, unsigned char eventType);
    bool isStopping() const { return m_stop.load(); }

    MillisecondClockIF* m_clock;

private:
    void run() final;

    MidiTransmitterIF* m_transmitter;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_waitingSetters{0};
    bool m_play = false;
    bool m_resuming = false;
    // The sleep while playing, apart from the mutex, which the active sensing worker keeps
    // through its interval.
    std::mutex m_sleepMutex;
    std::condition_variable m_sleep;
    bool m_wakeRequested = false;
};
