#pragma once

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// What the other end in a service test has received, gathered by a thread of its own; each
// readSome() waits a moment for input. The waits give up after a generous limit.
class ReadingThread {
public:
    bool waitForBytes(int count)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_arrived.wait_for(lock, std::chrono::seconds(30), [&] { return m_received.size() >= count; });
    }
    // What has arrived, which is then forgotten.
    QByteArray takeReceived()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        QByteArray taken;
        taken.swap(m_received);
        return taken;
    }

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
    void keep(const char* data, int size)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_received.append(data, size);
        m_arrived.notify_all();
    }
    virtual void readSome() = 0;

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    QByteArray m_received;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
