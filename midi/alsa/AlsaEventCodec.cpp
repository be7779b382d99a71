#include "midi/alsa/AlsaEventCodec.h"

namespace {
// The longest MIDI text of one non-exclusive event: a 14-bit controller or (N)RPN gives 12 bytes.
constexpr std::size_t DecodeBufferSize = 32;

bool isRealTime(unsigned char byte)
{
    return byte >= 0xF8;
}

bool isStatus(unsigned char byte)
{
    return byte >= 0x80;
}
}

AlsaEventCodec::AlsaEventCodec()
{
    if (snd_midi_event_new(DecodeBufferSize, &m_encoder) < 0) {
        m_encoder = nullptr;
    }
    if (snd_midi_event_new(DecodeBufferSize, &m_decoder) < 0) {
        m_decoder = nullptr;
    } else {
        snd_midi_event_no_status(m_decoder, 1);
    }
}

AlsaEventCodec::~AlsaEventCodec()
{
    if (m_encoder) {
        snd_midi_event_free(m_encoder);
    }
    if (m_decoder) {
        snd_midi_event_free(m_decoder);
    }
}

bool AlsaEventCodec::encode(const unsigned char* data, std::size_t length,
                            const std::function<bool(snd_seq_event_t&)>& emit)
{
    std::size_t i = 0;
    while (i < length) {
        if (data[i] == 0xF0) {
            // The exclusive runs to its F7, or stops before the next status byte that is not
            // real-time (an unterminated exclusive), or at the end of the packet. Real-time bytes
            // inside it stay where the sender put them.
            std::size_t end = i + 1;
            while (end < length && (!isStatus(data[end]) || isRealTime(data[end]))) {
                ++end;
            }
            if (end < length && data[end] == 0xF7) {
                ++end;
            }
            snd_seq_event_t event;
            snd_seq_ev_clear(&event);
            snd_seq_ev_set_sysex(&event, static_cast<unsigned int>(end - i), const_cast<unsigned char*>(data + i));
            snd_midi_event_reset_encode(m_encoder);
            if (!emit(event)) {
                return false;
            }
            i = end;
            continue;
        }
        snd_seq_event_t event;
        snd_seq_ev_clear(&event);
        if (snd_midi_event_encode_byte(m_encoder, data[i], &event) == 1 && event.type != SND_SEQ_EVENT_NONE &&
            !emit(event)) {
            return false;
        }
        ++i;
    }
    return true;
}

bool AlsaEventCodec::decode(const snd_seq_event_t& event, std::vector<unsigned char>& bytes)
{
    if (event.type == SND_SEQ_EVENT_SYSEX) {
        if ((event.flags & SND_SEQ_EVENT_LENGTH_MASK) != SND_SEQ_EVENT_LENGTH_VARIABLE || !event.data.ext.ptr) {
            return false;
        }
        const auto* data = static_cast<const unsigned char*>(event.data.ext.ptr);
        bytes.insert(bytes.end(), data, data + event.data.ext.len);
        return event.data.ext.len > 0;
    }
    unsigned char buffer[DecodeBufferSize];
    const long count = snd_midi_event_decode(m_decoder, buffer, sizeof buffer, &event);
    if (count <= 0) {
        return false;
    }
    bytes.insert(bytes.end(), buffer, buffer + count);
    return true;
}
