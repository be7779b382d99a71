#pragma once

#include <QByteArray>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

// Collects what a receive callback is given, from whatever thread calls it, and lets a test wait
// for a number of records with a generous timeout.
class ReceivedRecorder {
public:
    struct Record {
        QByteArray data;
        unsigned int timeStamp;
        unsigned int portId;
    };

    static void callback(void* context, const unsigned char* data, unsigned short length, unsigned int timeStamp,
                         unsigned int portId)
    {
        auto* self = static_cast<ReceivedRecorder*>(context);
        std::lock_guard<std::mutex> lock(self->m_mutex);
        self->m_records.push_back(Record{QByteArray(reinterpret_cast<const char*>(data), length), timeStamp, portId});
        self->m_condition.notify_all();
    }

    bool waitForCount(std::size_t count, int timeoutMilliseconds = 20000)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_condition.wait_for(lock, std::chrono::milliseconds(timeoutMilliseconds),
                                    [&] { return m_records.size() >= count; });
    }

    std::vector<Record> records()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_records;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_condition;
    std::vector<Record> m_records;
};
