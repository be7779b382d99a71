#pragma once

#include "midi/contract/ReadingThread.h"
#include "midi/contract/ServiceContractFixture.h"
#include "midi/jack/JackByteRing.h"

#include <cstdint>
#include <jack/jack.h>

// The other end in the JACK tests: a libjack client with MIDI ports "out" and "in". Its process
// callback sends at most one queued event per cycle (so it paces itself) and rings what comes in.
class JackPeerClient : public ContractPeer, public ReadingThread {
public:
    explicit JackPeerClient(const char* clientName = "tulvar-peer");
    ~JackPeerClient() override;

    bool isOpen() const { return m_client != nullptr; }
    QString sourceName() const override { return m_output ? QString::fromUtf8(jack_port_name(m_output)) : QString(); }
    QString destinationName() const override { return m_input ? QString::fromUtf8(jack_port_name(m_input)) : QString(); }
    jack_port_t* outputPort() const { return m_output; }
    jack_port_t* inputPort() const { return m_input; }

    bool send(const QByteArray& event) override;
    bool waitForBytes(int count) override { return ReadingThread::waitForBytes(count); }
    QByteArray takeReceived() override { return ReadingThread::takeReceived(); }
    // Leaves the server: both ports disappear.
    void vanish() override;

private:
    static int processCallback(jack_nframes_t frames, void* arg);
    void readSome() override;

    jack_client_t* m_client = nullptr;
    jack_port_t* m_output = nullptr;
    jack_port_t* m_input = nullptr;
    JackByteRing m_toSend;
    JackByteRing m_received;
};
