#pragma once

#include "model/ModelAssistant.h"

#include <array>
#include <functional>

class ModelIF;
class MidiTransmitterIF;

// Plays notes from the computer keyboard: two rows of letter, digit and comma keys form two
// octaves of a piano. Key presses and releases come from the application's event hook; the
// settings are parameters 1300 ("Enable"), 1301 ("Octave"), 1302 ("Channel") and 1303
// ("Velocity"). Runs on the GUI thread.
class KeyboardNoteEventManager final : public ModelAssistant {
public:
    // True while typing must not play notes: a popup is open, or a text field, spin box or
    // editable text area has the focus. The main window supplies it; the engine knows no widgets.
    using TypingFocusQuery = std::function<bool()>;

    KeyboardNoteEventManager(ModelIF* model, MidiTransmitterIF* transmitter);
    ~KeyboardNoteEventManager();

    KeyboardNoteEventManager(KeyboardNoteEventManager const&) = delete;
    KeyboardNoteEventManager& operator=(KeyboardNoteEventManager const&) = delete;

    void setTypingFocusQuery(TypingFocusQuery query) { m_typingFocusQuery = std::move(query); }

    // True when the key played a note or belongs to a note already sounding.
    bool trunsmitNoteOnByKeyDown(unsigned int character);
    // True when the key released a sounding note.
    bool trunsmitNoteOffByKeyUp(unsigned int character);
    // Releases every sounding note; called before modal dialogs that would swallow releases.
    void clearAllNoteEvent();

    bool canTransmitNoteEventByKeyEvent() const;
    bool isKeyDown(unsigned int character) const;
    // The note a key plays at the current octave; false for an unmapped key or a note outside
    // 0..127.
    bool getNoteNumberByKey(unsigned int character, unsigned char& note) const;
    static unsigned int convertCharacterToUpper(unsigned int character);

    void updateParameter(unsigned int id) override;

private:
    struct NoteRecord {
        unsigned char channel = 0;
        unsigned int key = 0;
        bool sounding = false;
    };

    static constexpr int NoteCount = 128;
    static constexpr int KeyCount = 256;

    void transmitNoteOff(unsigned char note);
    int findNoteOfKey(unsigned int upperKey) const;

    ModelIF* m_model;
    MidiTransmitterIF* m_transmitter;
    TypingFocusQuery m_typingFocusQuery;
    std::array<signed char, KeyCount> m_keyMap{};
    std::array<NoteRecord, NoteCount> m_notes{};
    bool m_enabled = false;
    int m_octave = 0;
    int m_channel = 1;
    int m_velocity = 64;
};
