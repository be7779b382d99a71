#pragma once

#include "midi/alsa/AlsaEventCodec.h"
#include "midi/alsa/AlsaMidiService.h"
#include "midi/contract/ReadingThread.h"
#include "midi/contract/ServiceContractFixture.h"

#include <alsa/asoundlib.h>

// A second sequencer client, as another program on the desktop is, keeping ALSA's default pools.
// Port "out" can be read and subscribed to, port "in" written and subscribed to; what arrives at
// "in" is read (unless told not to read, to stand for a program that has stopped reading).
class AlsaPeerClient : public ContractPeer, public ReadingThread {
public:
    explicit AlsaPeerClient(const char* clientName = "Tulvar Peer", bool reading = true);
    ~AlsaPeerClient() override;

    bool isOpen() const { return m_seq != nullptr; }
    int clientId() const { return m_clientId; }
    int outputPort() const { return m_out; }
    int inputPort() const { return m_in; }

    // As the program's port menus show them.
    QString sourceName() const override { return AlsaMidiService::displayName(m_name, QStringLiteral("out")); }
    QString destinationName() const override { return AlsaMidiService::displayName(m_name, QStringLiteral("in")); }
    // Sends bytes from "out" to its subscribers, waiting while the receiver, if given, is full.
    bool send(const QByteArray& bytes) override;
    void sendWhenThereIsRoomIn(const AlsaMidiService& receiver) { m_receiver = &receiver; }
    bool waitForBytes(int count) override { return ReadingThread::waitForBytes(count); }
    QByteArray takeReceived() override { return ReadingThread::takeReceived(); }
    void vanish() override { close(); }
    // Subscribes "in" to another client's port, exclusively if asked.
    bool subscribeFrom(int client, int port, bool exclusive = false);
    void removeInput();
    // The whole client goes, as when the program exits.
    void close();
    // The name of any client's port, as aconnect -l shows it.
    QString portName(int client, int port);

private:
    void readSome() override;

    snd_seq_t* m_seq = nullptr;
    QString m_name;
    int m_clientId = -1;
    int m_out = -1;
    int m_in = -1;
    AlsaEventCodec m_codec;
    unsigned char m_status = 0;
    const AlsaMidiService* m_receiver = nullptr;
};
