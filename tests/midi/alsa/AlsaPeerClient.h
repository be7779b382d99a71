#pragma once

#include "midi/alsa/AlsaEventCodec.h"
#include "midi/contract/ServiceContractFixture.h"

#include <alsa/asoundlib.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// The other end in the ALSA tests: a second sequencer client, as another program on the desktop
// is, keeping ALSA's default pools. Port "out" can be read and subscribed to, port "in" written
// and subscribed to; a thread of its own reads what arrives at "in" (unless told not to read, to
// stand for a program that has stopped reading).
class AlsaPeerClient : public ContractPeer {
public:
    explicit AlsaPeerClient(const char* clientName = "Tulvar Peer", bool reading = true);
    ~AlsaPeerClient() override;

    AlsaPeerClient(const AlsaPeerClient&) = delete;
    AlsaPeerClient& operator=(const AlsaPeerClient&) = delete;

    bool isOpen() const { return m_seq != nullptr; }
    int clientId() const { return m_clientId; }
    int outputPort() const { return m_out; }
    int inputPort() const { return m_in; }

    QString sourceName() const override;
    QString destinationName() const override;
    // Sends bytes from "out" to its subscribers.
    bool send(const QByteArray& bytes) override;
    bool waitForBytes(int count) override;
    QByteArray received();
    QByteArray takeReceived() override;
    void vanish() override { close(); }
    // Subscribes "in" to another client's port, exclusively if asked.
    bool subscribeFrom(int client, int port, bool exclusive = false);
    void removeInput();
    // The whole client goes, as when the program exits.
    void close();

private:
    void readLoop();

    snd_seq_t* m_seq = nullptr;
    QString m_name;
    int m_clientId = -1;
    int m_out = -1;
    int m_in = -1;
    AlsaEventCodec m_codec;
    unsigned char m_status = 0;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    QByteArray m_received;
    std::atomic<bool> m_stop{false};
    std::thread m_reader;
};
