#include "AlsaPeerClient.h"

#include <QElapsedTimer>

#include <poll.h>
#include <vector>

AlsaPeerClient::AlsaPeerClient(const char* clientName)
{
    if (snd_seq_open(&m_seq, "default", SND_SEQ_OPEN_DUPLEX, 0) < 0) {
        m_seq = nullptr;
        return;
    }
    snd_seq_set_client_name(m_seq, clientName);
    snd_seq_set_client_pool_input(m_seq, 2000);
    snd_seq_set_client_pool_output(m_seq, 2000);
    snd_seq_set_input_buffer_size(m_seq, 1 << 17);
    m_clientId = snd_seq_client_id(m_seq);
    m_out = snd_seq_create_simple_port(m_seq, "out", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                       SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    m_in = snd_seq_create_simple_port(m_seq, "in", SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                      SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
}

AlsaPeerClient::~AlsaPeerClient()
{
    if (m_seq) {
        snd_seq_close(m_seq);
    }
}

bool AlsaPeerClient::send(const QByteArray& bytes)
{
    return m_codec.encode(reinterpret_cast<const unsigned char*>(bytes.constData()), std::size_t(bytes.size()),
                          [&](snd_seq_event_t& event) {
                              snd_seq_ev_set_source(&event, m_out);
                              snd_seq_ev_set_subs(&event);
                              snd_seq_ev_set_direct(&event);
                              return snd_seq_event_output_direct(m_seq, &event) >= 0;
                          });
}

QByteArray AlsaPeerClient::receive(int count, int timeoutMs)
{
    std::vector<unsigned char> bytes;
    QElapsedTimer timer;
    timer.start();
    const int descriptorCount = snd_seq_poll_descriptors_count(m_seq, POLLIN);
    std::vector<pollfd> descriptors(static_cast<std::size_t>(descriptorCount));
    snd_seq_poll_descriptors(m_seq, descriptors.data(), unsigned(descriptorCount), POLLIN);
    while (int(bytes.size()) < count && timer.elapsed() < timeoutMs) {
        if (snd_seq_event_input_pending(m_seq, 0) == 0 && poll(descriptors.data(), descriptors.size(), 100) <= 0) {
            continue;
        }
        snd_seq_event_t* event = nullptr;
        if (snd_seq_event_input(m_seq, &event) >= 0 && event && event->dest.port == m_in) {
            m_codec.decode(*event, bytes);
        }
    }
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()));
}

void AlsaPeerClient::removeOutput()
{
    snd_seq_delete_simple_port(m_seq, m_out);
    m_out = -1;
}
