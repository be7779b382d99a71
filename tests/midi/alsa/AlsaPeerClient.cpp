#include "AlsaPeerClient.h"

#include <poll.h>
#include <thread>
#include <vector>

namespace {
constexpr int PollStepMs = 50;
}

AlsaPeerClient::AlsaPeerClient(const char* clientName, bool reading) : m_name(QString::fromUtf8(clientName))
{
    if (snd_seq_open(&m_seq, "default", SND_SEQ_OPEN_DUPLEX, 0) < 0) {
        m_seq = nullptr;
        return;
    }
    snd_seq_set_client_name(m_seq, clientName);
    m_clientId = snd_seq_client_id(m_seq);
    m_out = snd_seq_create_simple_port(m_seq, "out", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                       SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    m_in = snd_seq_create_simple_port(m_seq, "in", SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                      SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    if (reading) {
        startReading();
    }
}

AlsaPeerClient::~AlsaPeerClient()
{
    close();
}

void AlsaPeerClient::close()
{
    stopReading();
    if (m_seq) {
        snd_seq_close(m_seq);
        m_seq = nullptr;
    }
}

// Data bytes at the start continue the exclusive in progress, else the last channel message's
// status (running status, which the sequencer's events cannot carry).
bool AlsaPeerClient::send(const QByteArray& bytes)
{
    const bool continued = !bytes.isEmpty() && uchar(bytes[0]) < 0x80 && !m_codec.inExclusive() && m_status != 0;
    const QByteArray packet = continued ? char(m_status) + bytes : bytes;
    for (const char byte : bytes) {
        m_status = uchar(byte) >= 0xF8 ? m_status : uchar(byte) >= 0xF0 ? 0 : uchar(byte) >= 0x80 ? uchar(byte) : m_status;
    }
    return m_codec.encode(reinterpret_cast<const unsigned char*>(packet.constData()), std::size_t(packet.size()),
                          [&](snd_seq_event_t& event, std::size_t) {
                              snd_seq_ev_set_source(&event, m_out);
                              snd_seq_ev_set_subs(&event);
                              snd_seq_ev_set_direct(&event);
                              // As the program sends: only what fits the receiver's pool.
                              for (int ms = 0; m_receiver && ms < 30000 &&
                                               m_receiver->freeInputCells(MidiEndpointRef(m_receiver->clientId() * 256)) < 16;
                                   ++ms) {
                                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
                              }
                              return snd_seq_event_output_direct(m_seq, &event) >= 0;
                          });
}

bool AlsaPeerClient::subscribeFrom(int client, int port, bool exclusive)
{
    snd_seq_port_subscribe_t* subscription;
    snd_seq_port_subscribe_alloca(&subscription);
    const snd_seq_addr_t sender{static_cast<unsigned char>(client), static_cast<unsigned char>(port)};
    const snd_seq_addr_t dest{static_cast<unsigned char>(m_clientId), static_cast<unsigned char>(m_in)};
    snd_seq_port_subscribe_set_sender(subscription, &sender);
    snd_seq_port_subscribe_set_dest(subscription, &dest);
    snd_seq_port_subscribe_set_exclusive(subscription, exclusive ? 1 : 0);
    return snd_seq_subscribe_port(m_seq, subscription) >= 0;
}

void AlsaPeerClient::removeInput()
{
    snd_seq_delete_simple_port(m_seq, m_in);
    m_in = -1;
}

QString AlsaPeerClient::portName(int client, int port)
{
    snd_seq_port_info_t* info;
    snd_seq_port_info_alloca(&info);
    return snd_seq_get_any_port_info(m_seq, client, port, info) >= 0 ? QString::fromUtf8(snd_seq_port_info_get_name(info))
                                                                     : QString();
}

void AlsaPeerClient::readSome()
{
    pollfd descriptor{};
    snd_seq_poll_descriptors(m_seq, &descriptor, 1, POLLIN);
    if (snd_seq_event_input_pending(m_seq, 0) == 0 && poll(&descriptor, 1, PollStepMs) <= 0) {
        return;
    }
    snd_seq_event_t* event = nullptr;
    std::vector<unsigned char> bytes;
    if (snd_seq_event_input(m_seq, &event) >= 0 && event && event->dest.port == m_in && m_codec.decode(*event, bytes)) {
        keep(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()));
    }
}
