#pragma once

#include <cstddef>
#include <functional>
#include <vector>

extern "C" {
typedef struct snd_seq_event snd_seq_event_t;
typedef struct snd_midi_event snd_midi_event_t;
}

// Conversion between MIDI bytes and ALSA sequencer events, which needs no sequencer device.
//
// Encoding works on one packet at a time, as one output port sends them. Running status holds
// only inside a packet: a packet that starts with data bytes continues the system exclusive in
// progress on that port (a long exclusive sent in pieces) and is never read as channel
// messages. A system exclusive goes out as consecutive events of at most MaxEventBytes, as the
// kernel itself delivers exclusives from hardware. Decoding writes every message with its status
// byte and passes exclusive chunks on as they arrive.
class AlsaEventCodec {
public:
    // No event carries more MIDI bytes than this: one variable-length event above about 5.5 KB
    // is refused by a program that keeps ALSA's default pools.
    static constexpr std::size_t MaxEventBytes = 256;

    // Gets each event to send and the number of MIDI bytes it stands for; false stops encoding.
    using Emit = std::function<bool(snd_seq_event_t& event, std::size_t midiBytes)>;

    AlsaEventCodec();
    ~AlsaEventCodec();

    AlsaEventCodec(const AlsaEventCodec&) = delete;
    AlsaEventCodec& operator=(const AlsaEventCodec&) = delete;

    bool isValid() const { return m_encoder && m_decoder; }

    // Hands the events of one packet to emit in order. False when emit refused an event (the
    // exclusive in progress is then abandoned) or when bytes could not be sent: data bytes
    // outside an exclusive without a status byte of this packet before them, a stray F7, an
    // undefined status byte or a message the packet leaves unfinished. Everything else in the
    // packet still goes out. A variable event points into data, valid only during emit.
    bool encode(const unsigned char* data, std::size_t length, const Emit& emit);
    // Whether the last packet ended inside a system exclusive.
    bool inExclusive() const { return m_inExclusive; }
    // Forgets the exclusive in progress (a new destination, a failed send).
    void resetEncoder();

    // Appends the MIDI bytes of event to bytes; false for events that carry no MIDI message.
    bool decode(const snd_seq_event_t& event, std::vector<unsigned char>& bytes);

private:
    bool emitExclusive(const unsigned char* data, std::size_t length, const Emit& emit);

    snd_midi_event_t* m_encoder = nullptr;
    snd_midi_event_t* m_decoder = nullptr;
    bool m_inExclusive = false;
};
