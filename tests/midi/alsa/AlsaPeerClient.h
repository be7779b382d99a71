#pragma once

#include "midi/alsa/AlsaEventCodec.h"

#include <QByteArray>

#include <alsa/asoundlib.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// The other end in the ALSA tests: a second sequencer client, as another program on the desktop
// is, keeping ALSA's default pools. Port "out" can be read and subscribed to, port "in" written
// and subscribed to; a thread of its own reads what arrives at "in" (unless told not to read, to
// stand for a program that has stopped reading).
class AlsaPeerClient {
public:
    explicit AlsaPeerClient(const char* clientName = "Tulvar Peer", bool reading = true);
    ~AlsaPeerClient();

    AlsaPeerClient(const AlsaPeerClient&) = delete;
    AlsaPeerClient& operator=(const AlsaPeerClient&) = delete;

    bool isOpen() const { return m_seq != nullptr; }
    int clientId() const { return m_clientId; }
    int outputPort() const { return m_out; }
    int inputPort() const { return m_in; }

    // Sends bytes from "out" to its subscribers.
    bool send(const QByteArray& bytes);
    // Waits until count bytes have arrived at "in" (false after a generous limit).
    bool waitForBytes(int count);
    QByteArray received();
    // What has arrived, which is then forgotten.
    QByteArray takeReceived();
    // Subscribes "in" to another client's port, exclusively if asked.
    bool subscribeFrom(int client, int port, bool exclusive = false);
    void removeInput();
    void removeOutput();
    // The whole client goes, as when the program exits.
    void close();

private:
    void readLoop();

    snd_seq_t* m_seq = nullptr;
    int m_clientId = -1;
    int m_out = -1;
    int m_in = -1;
    AlsaEventCodec m_codec;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    QByteArray m_received;
    std::atomic<bool> m_stop{false};
    std::thread m_reader;
};
