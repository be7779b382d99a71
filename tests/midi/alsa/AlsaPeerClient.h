#pragma once

#include "midi/alsa/AlsaEventCodec.h"

#include <QByteArray>

#include <alsa/asoundlib.h>

// The other end in the ALSA tests: a second sequencer client with a port "out" that can be
// read and subscribed to and a port "in" that can be written and subscribed to.
class AlsaPeerClient {
public:
    explicit AlsaPeerClient(const char* clientName = "Tulvar Peer");
    ~AlsaPeerClient();

    AlsaPeerClient(const AlsaPeerClient&) = delete;
    AlsaPeerClient& operator=(const AlsaPeerClient&) = delete;

    bool isOpen() const { return m_seq != nullptr; }
    int clientId() const { return m_clientId; }
    int outputPort() const { return m_out; }
    int inputPort() const { return m_in; }

    // Sends bytes from "out" to its subscribers.
    bool send(const QByteArray& bytes);
    // Reads events arriving at "in" until count bytes have come (or timeoutMs passes).
    QByteArray receive(int count, int timeoutMs = 30000);
    void removeOutput();

private:
    snd_seq_t* m_seq = nullptr;
    int m_clientId = -1;
    int m_out = -1;
    int m_in = -1;
    AlsaEventCodec m_codec;
};
