#pragma once

#include "midi/jack/JackByteRing.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <jack/jack.h>

// The other end in the JACK tests: a small libjack client with one MIDI output "out" and one MIDI
// input "in". Its process callback only copies: at most one queued event per cycle goes out
// (so it paces itself), and every event that comes in is appended to a ring that the test reads.
class JackPeerClient {
public:
    explicit JackPeerClient(const char* clientName = "tulvar-peer");
    ~JackPeerClient();

    JackPeerClient(const JackPeerClient&) = delete;
    JackPeerClient& operator=(const JackPeerClient&) = delete;

    bool isOpen() const { return m_client != nullptr; }
    QString outputName() const;
    QString inputName() const;
    jack_port_t* outputPort() const { return m_output; }

    // Queues one event; waits while the queue is full.
    void sendEvent(const QByteArray& event);
    // Waits (up to timeoutMs) until count more bytes than already taken have arrived.
    bool waitForBytes(int count, int timeoutMs = 30000);
    // Everything received so far and not yet taken, as one byte stream; also the events' count.
    QByteArray takeReceived();
    int takenEvents() const { return m_takenEvents; }
    // Waits until the callback has run count more cycles.
    bool waitCycles(int count, int timeoutMs = 30000);
    bool waitUntilSent(int timeoutMs = 30000);
    // Cycle counter and the cycle in which the latest event arrived.
    std::uint64_t cycles() const { return m_cycles.load(); }

    void removeOutput();
    void close();

private:
    static int processCallback(jack_nframes_t frames, void* arg);
    void drainReceived();

    jack_client_t* m_client = nullptr;
    jack_port_t* m_output = nullptr;
    std::atomic<jack_port_t*> m_activeOutput{nullptr};
    jack_port_t* m_input = nullptr;
    JackByteRing m_toSend;
    JackByteRing m_received;
    std::atomic<std::uint64_t> m_cycles{0};
    QByteArray m_pending;
    int m_takenEvents = 0;
};
