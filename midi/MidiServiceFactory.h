#pragma once

#include "midi/MidiService.h"

#include <QString>

#include <memory>

// Chooses the MIDI service from the words auto|alsa|jack|loopback: the value of the command-line
// option --midi-backend (read by the start-up code) wins over TULVAR_MIDI_BACKEND, and auto is
// the default. The choice never fails start-up: a service that cannot be opened falls back to
// Loopback, said once on standard error.
class MidiServiceFactory {
public:
    // The option value if given, else TULVAR_MIDI_BACKEND, else "auto"; lower case. An unknown
    // word counts as "auto" (with a note on standard error).
    static QString backendChoice(const QString& optionValue);
    // The service for the choice; usedBackend (when given) receives the word of the one made.
    static std::unique_ptr<MidiService> create(const QString& optionValue, QString* usedBackend = nullptr);
};
