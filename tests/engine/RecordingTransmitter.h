#pragma once

#include "engine/MidiTransmitterIF.h"

#include <QByteArray>
#include <QList>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

// One call of the transmit operation as a test saw it.
struct TransmittedMessage {
    QByteArray bytes;
    unsigned char eventType;
    OutputPortGroup group;
    bool skipBulkWait;
};

// The transmit path of the tests: records every message, and can be told to fail (from a given
// message on), to hold every sender until released, or to run a hook around each send the way
// the main window runs the bulk interval waits. Safe to call from any thread.
class RecordingTransmitter : public MidiTransmitterIF {
public:
    using Hook = std::function<void(const TransmittedMessage&)>;

    bool transmitMidi(const unsigned char* data, unsigned short size, unsigned char eventType,
                      OutputPortGroup group, bool skipBulkWait, bool) override
    {
        TransmittedMessage message{QByteArray(reinterpret_cast<const char*>(data), size), eventType, group,
                                   skipBulkWait};
        Hook before;
        Hook after;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            ++m_heldSenders;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return !m_holding; });
            --m_heldSenders;
            before = m_before;
            after = m_after;
        }
        if (before) {
            before(message);
        }
        bool sent = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            sent = m_failFrom < 0 || int(m_messages.size()) < m_failFrom;
            if (sent) {
                m_messages.push_back(message);
            }
            ++m_calls;
            m_changed.notify_all();
        }
        if (after) {
            after(message);
        }
        return sent;
    }

    // Every call from the count-th successful message on fails; -1 lets everything through.
    void failFrom(int count)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_failFrom = count;
    }

    void setHooks(Hook before, Hook after)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_before = std::move(before);
        m_after = std::move(after);
    }

    // While holding, every sender waits inside transmitMidi until release().
    void hold()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_holding = true;
    }

    void release()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_holding = false;
        m_changed.notify_all();
    }

    // Waits (10 s at most) until a sender is held; false on timeout.
    bool waitForHeldSender()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return m_heldSenders > 0; });
    }

    // Waits (10 s at most) until at least count messages were sent; false on timeout.
    bool waitForMessages(int count)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(10), [&] { return int(m_messages.size()) >= count; });
    }

    std::vector<TransmittedMessage> messages() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages;
    }

    QList<QByteArray> sentBytes() const
    {
        QList<QByteArray> result;
        for (const TransmittedMessage& message : messages()) {
            result.append(message.bytes);
        }
        return result;
    }

    int count() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return int(m_messages.size());
    }

    int calls() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }

    void clear()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_messages.clear();
        m_calls = 0;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<TransmittedMessage> m_messages;
    Hook m_before;
    Hook m_after;
    int m_failFrom = -1;
    int m_calls = 0;
    int m_heldSenders = 0;
    bool m_holding = false;
};
