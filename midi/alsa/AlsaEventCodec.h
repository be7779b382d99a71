#pragma once

#include <alsa/asoundlib.h>

#include <cstddef>
#include <functional>
#include <vector>

// Conversion between MIDI bytes and ALSA sequencer events, which needs no sequencer device.
// Encoding keeps running status from one packet to the next, as a MIDI cable does; a system
// exclusive goes out as one variable-length event of any length. Decoding writes every message
// with its status byte and passes system exclusive chunks on as ALSA delivers them.
class AlsaEventCodec {
public:
    AlsaEventCodec();
    ~AlsaEventCodec();

    AlsaEventCodec(const AlsaEventCodec&) = delete;
    AlsaEventCodec& operator=(const AlsaEventCodec&) = delete;

    bool isValid() const { return m_encoder && m_decoder; }

    // Hands the events of data to emit in order, stopping when emit returns false. A variable
    // event points into data, so it is valid only during emit.
    bool encode(const unsigned char* data, std::size_t length, const std::function<bool(snd_seq_event_t&)>& emit);

    // Appends the MIDI bytes of event to bytes; false for events that carry no MIDI message.
    bool decode(const snd_seq_event_t& event, std::vector<unsigned char>& bytes);

private:
    snd_midi_event_t* m_encoder = nullptr;
    snd_midi_event_t* m_decoder = nullptr;
};
