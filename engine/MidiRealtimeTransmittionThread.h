#pragma once

#include "engine/MidiTransmitterIF.h"

#include <QThread>

#include <atomic>
#include <condition_variable>
#include <mutex>

class MillisecondClockIF;

// What the timing clock and active sensing threads share: a worker that runs from construction to
// destruction, paused on a wake condition or playing, busy-waiting on the millisecond clock while
// playing. The play switch and the sending share one mutex, so switching off waits for the
// sending in progress; the pause test and the wait happen under that same mutex, so a switch-on
// is never lost between them.
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
    // spinning worker never starves the window.
    std::unique_lock<std::mutex> lockAsSetter();
    // Under the mutex: switches playing on (waking the worker) or off.
    void setPlaying(bool play);

    // Called with the mutex held: once when playing starts, and then over and over while playing.
    virtual void resumePlaying() = 0;
    virtual void playOnce() = 0;

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
};
