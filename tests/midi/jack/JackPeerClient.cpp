#include "JackPeerClient.h"

#include <QElapsedTimer>
#include <QThread>

#include <jack/midiport.h>

namespace {
using Length = std::uint32_t;
}

JackPeerClient::JackPeerClient(const char* clientName)
    : m_toSend(1 << 16)
    , m_received(1 << 22)
{
    m_client = jack_client_open(clientName, JackNoStartServer, nullptr);
    if (!m_client) {
        return;
    }
    m_output = jack_port_register(m_client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    m_input = jack_port_register(m_client, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(m_client, processCallback, this);
    if (!m_output || !m_input || jack_activate(m_client) != 0) {
        jack_client_close(m_client);
        m_client = nullptr;
        return;
    }
    startReading();
}

JackPeerClient::~JackPeerClient()
{
    vanish();
    stopReading();
}

void JackPeerClient::vanish()
{
    if (m_client) {
        jack_deactivate(m_client);
        jack_client_close(m_client);
        m_client = nullptr;
        m_output = nullptr;
        m_input = nullptr;
    }
}

bool JackPeerClient::send(const QByteArray& event)
{
    const Length length = static_cast<Length>(event.size());
    QElapsedTimer timer;
    timer.start();
    while (!m_toSend.write(&length, sizeof length, event.constData(), event.size())) {
        if (timer.elapsed() > 30000) {
            return false;
        }
        QThread::msleep(1);
    }
    return true;
}

int JackPeerClient::processCallback(jack_nframes_t frames, void* arg)
{
    auto* self = static_cast<JackPeerClient*>(arg);
    void* in = jack_port_get_buffer(self->m_input, frames);
    const jack_nframes_t count = jack_midi_get_event_count(in);
    for (jack_nframes_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, in, i) == 0) {
            const Length length = static_cast<Length>(event.size);
            self->m_received.write(&length, sizeof length, event.buffer, event.size);
        }
    }
    void* out = jack_port_get_buffer(self->m_output, frames);
    jack_midi_clear_buffer(out);
    Length length = 0;
    if (self->m_toSend.readSpace() >= sizeof length) {
        self->m_toSend.peek(0, &length, sizeof length);
        if (jack_midi_data_t* data = jack_midi_event_reserve(out, 0, length)) {
            self->m_toSend.peek(sizeof length, data, length);
            self->m_toSend.consume(sizeof length + length);
        }
    }
    return 0;
}

void JackPeerClient::readSome()
{
    Length length = 0;
    if (m_received.readSpace() < sizeof length) {
        QThread::msleep(1);
        return;
    }
    m_received.peek(0, &length, sizeof length);
    QByteArray event(int(length), Qt::Uninitialized);
    m_received.peek(sizeof length, event.data(), length);
    m_received.consume(sizeof length + length);
    keep(event.constData(), event.size());
}
