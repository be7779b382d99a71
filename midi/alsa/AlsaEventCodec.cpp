#include "midi/alsa/AlsaEventCodec.h"

#include <alsa/asoundlib.h>

#include <algorithm>

namespace {
// The longest MIDI text of one non-exclusive event: a 14-bit controller or (N)RPN gives 12 bytes.
constexpr std::size_t DecodeBufferSize = 32;
constexpr unsigned char SysExStart = 0xF0;
constexpr unsigned char SysExEnd = 0xF7;

bool isRealTime(unsigned char byte)
{
    return byte >= 0xF8;
}

bool isStatus(unsigned char byte)
{
    return byte >= 0x80;
}

// Data bytes that follow a status byte; -1 for status bytes that cannot be sent.
int dataLength(unsigned char status)
{
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 1;
    case 0xF0:
        break;
    default:
        return 2;
    }
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 1;
    case 0xF2:
        return 2;
    case 0xF6:
        return 0;
    default:
        return -1;
    }
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

void AlsaEventCodec::resetEncoder()
{
    m_inExclusive = false;
    snd_midi_event_reset_encode(m_encoder);
}

bool AlsaEventCodec::encode(const unsigned char* data, std::size_t length, const Emit& emit)
{
    // Running status from an earlier packet would turn the data bytes of an exclusive's
    // continuation into notes.
    snd_midi_event_reset_encode(m_encoder);
    bool whole = true;
    bool runningStatus = false;
    unsigned char status = 0;
    int pendingData = 0;
    // Real-time bytes may come before the continuation of an exclusive.
    bool sawNonRealTime = false;
    std::size_t i = 0;
    while (i < length) {
        const unsigned char byte = data[i];
        const bool continues = m_inExclusive && !sawNonRealTime && (!isStatus(byte) || byte == SysExEnd);
        if (!isRealTime(byte)) {
            sawNonRealTime = true;
        }
        if (byte == SysExStart || continues) {
            // The exclusive runs to its F7, stops before the next status byte that is not
            // real-time (cut short), or continues in the next packet. Real-time bytes inside it
            // stay where the sender put them.
            if (pendingData > 0) {
                whole = false;
            }
            std::size_t end = byte == SysExStart ? i + 1 : i;
            while (end < length && (!isStatus(data[end]) || isRealTime(data[end]))) {
                ++end;
            }
            m_inExclusive = end == length;
            if (end < length && data[end] == SysExEnd) {
                ++end;
            }
            if (!emitExclusive(data + i, end - i, emit)) {
                resetEncoder();
                return false;
            }
            snd_midi_event_reset_encode(m_encoder);
            runningStatus = false;
            pendingData = 0;
            i = end;
            continue;
        }
        if (!isRealTime(byte)) {
            m_inExclusive = false;
        }
        bool feed = true;
        if (isRealTime(byte)) {
            // Between the bytes of a message, as on a cable.
        } else if (isStatus(byte)) {
            whole = whole && pendingData == 0;
            status = byte;
            pendingData = dataLength(byte);
            runningStatus = byte < 0xF0;
            if (pendingData < 0) {
                // F4, F5 and a stray F7 mean nothing that could be sent.
                whole = false;
                feed = false;
                pendingData = 0;
                snd_midi_event_reset_encode(m_encoder);
            }
        } else if (pendingData > 0) {
            --pendingData;
        } else if (runningStatus) {
            pendingData = dataLength(status) - 1;
        } else {
            whole = false;
            feed = false;
        }
        snd_seq_event_t event;
        snd_seq_ev_clear(&event);
        if (feed && snd_midi_event_encode_byte(m_encoder, byte, &event) == 1) {
            const std::size_t midiBytes = isRealTime(byte) ? 1 : std::size_t(dataLength(status) + 1);
            if (event.type == SND_SEQ_EVENT_NONE) {
                whole = false;
            } else if (!emit(event, midiBytes)) {
                resetEncoder();
                return false;
            }
        }
        ++i;
    }
    return whole && pendingData == 0;
}

bool AlsaEventCodec::emitExclusive(const unsigned char* data, std::size_t length, const Emit& emit)
{
    for (std::size_t offset = 0; offset < length; offset += MaxEventBytes) {
        const std::size_t chunk = std::min(MaxEventBytes, length - offset);
        snd_seq_event_t event;
        snd_seq_ev_clear(&event);
        snd_seq_ev_set_sysex(&event, static_cast<unsigned int>(chunk), const_cast<unsigned char*>(data + offset));
        if (!emit(event, chunk)) {
            return false;
        }
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
