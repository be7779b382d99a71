#pragma once

// Result codes of the port layer.
enum MIDI_RESULT { MIDI_RESULT_OK = 0, MIDI_RESULT_ERROR = 1 };

// Stores the code when the caller asked for it.
inline void setMidiResult(MIDI_RESULT* result, MIDI_RESULT code)
{
    if (result != nullptr) {
        *result = code;
    }
}
