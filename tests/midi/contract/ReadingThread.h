#pragma once

#include "midi/ServiceTestKit.h"

#include <atomic>
#include <thread>

// What the other end in a service test has received, gathered by a thread of its own; each
// readSome() waits a moment for input.
class ReadingThread : public ReceivedBytes {
protected:
    ~ReadingThread() = default;
    void startReading()
    {
        m_thread = std::thread([this] {
            while (!m_stop) {
                readSome();
            }
        });
    }
    // Before what readSome() uses goes.
    void stopReading()
    {
        m_stop = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }
    virtual void readSome() = 0;

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
