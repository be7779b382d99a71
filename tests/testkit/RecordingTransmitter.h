#pragma once

#include "engine/MidiTransmitterIF.h"

#include <QByteArray>
#include <QByteArrayList>

#include <chrono>
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
// message on), to hold every sender until released, permitted or a release condition holds, or
// to run a hook after each send the way the main window records what it sent. Safe to call from
// any thread.
class RecordingTransmitter : public MidiTransmitterIF {
public:
    using Hook = std::function<void(const TransmittedMessage&)>;
    using Lock = std::unique_lock<std::mutex>;

    bool transmitMidi(const unsigned char* data, unsigned short size, unsigned char eventType,
                      OutputPortGroup group, bool skipBulkWait, bool) override
    {
        TransmittedMessage message{QByteArray(reinterpret_cast<const char*>(data), size), eventType, group,
                                   skipBulkWait};
        Lock lock(m_mutex);
        ++m_heldSenders;
        m_changed.notify_all();
        while (m_holding && m_permits == 0) {
            if (m_releaseWhen && m_releaseWhen()) {
                m_holding = false;
                break;
            }
            m_changed.wait_for(lock, std::chrono::milliseconds(5));
        }
        if (m_holding)
            --m_permits;
        --m_heldSenders;
        const Hook after = m_after;
        const bool sent = m_failFrom < 0 || int(m_messages.size()) < m_failFrom;
        if (sent)
            m_messages.push_back(message);
        ++m_calls;
        m_changed.notify_all();
        lock.unlock();
        if (after)
            after(message);
        return sent;
    }

    // Every call from the count-th successful message on fails; -1 lets everything through.
    void failFrom(int count) { Lock lock(m_mutex); m_failFrom = count; }
    void setAfterSend(Hook after) { Lock lock(m_mutex); m_after = std::move(after); }
    // While holding, every sender waits inside transmitMidi until release(), until permit() lets
    // it through, or until releaseWhen (polled while waiting) returns true.
    void hold(std::function<bool()> releaseWhen = nullptr)
    {
        Lock lock(m_mutex);
        m_holding = true;
        m_releaseWhen = std::move(releaseWhen);
    }
    void release() { Lock lock(m_mutex); m_holding = false; m_changed.notify_all(); }
    void permit(int messages) { Lock lock(m_mutex); m_permits += messages; m_changed.notify_all(); }
    void clear() { Lock lock(m_mutex); m_messages.clear(); m_calls = 0; }

    // Wait 10 s at most; false on timeout.
    bool waitForHeldSender() { return waitUntil([this] { return m_heldSenders > 0; }); }
    bool waitForMessages(int count) { return waitUntil([&] { return int(m_messages.size()) >= count; }); }

    std::vector<TransmittedMessage> messages() const { Lock lock(m_mutex); return m_messages; }
    int count() const { Lock lock(m_mutex); return int(m_messages.size()); }
    int calls() const { Lock lock(m_mutex); return m_calls; }

    QByteArrayList sentBytes() const
    {
        QByteArrayList result;
        for (const TransmittedMessage& message : messages())
            result.append(message.bytes);
        return result;
    }

private:
    template <typename Predicate>
    bool waitUntil(Predicate done)
    {
        Lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(10), done);
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<TransmittedMessage> m_messages;
    Hook m_after;
    std::function<bool()> m_releaseWhen;
    int m_failFrom = -1;
    int m_calls = 0;
    int m_heldSenders = 0;
    int m_permits = 0;
    bool m_holding = false;
};
