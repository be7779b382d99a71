#pragma once

#include <QThread>

#include <atomic>
#include <mutex>

// A mutex that a worker holds for long stretches (a whole transmission) and that setters on the
// window's thread take now and then. A plain mutex lets a worker that unlocks and relocks at once
// win every time, so the window would freeze; here the worker offers the mutex at its safe points
// and every setter already waiting gets it first. Usable with std::lock_guard by the worker.
class SetterPriorityMutex {
public:
    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }
    bool try_lock() { return m_mutex.try_lock(); }

    std::unique_lock<std::mutex> lockAsSetter()
    {
        ++m_waitingSetters;
        std::unique_lock<std::mutex> lock(m_mutex);
        --m_waitingSetters;
        return lock;
    }

    // Called by the worker while holding the mutex, between two steps of its work.
    void giveWay()
    {
        if (m_waitingSetters.load() == 0) {
            return;
        }
        m_mutex.unlock();
        do {
            QThread::yieldCurrentThread();
        } while (m_waitingSetters.load() > 0);
        m_mutex.lock();
    }

private:
    std::mutex m_mutex;
    std::atomic<int> m_waitingSetters{0};
};
