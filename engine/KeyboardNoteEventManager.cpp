#include "engine/KeyboardNoteEventManager.h"

#include "engine/MidiTransmitterIF.h"
#include "model/ModelIF.h"
#include "model/TulvarMidiParameters.h"

#include <algorithm>

namespace {

// The lower row plays C to C, the upper row the next octave; comma and Q are the same C.
const char KeyboardNoteKeys[] = "ZSXDCVGBHNJM,Q2W3ER5T6Y7UI";
const int UpperRowStart = 13;
const int MiddleNote = 60;
const unsigned char NoteOnStatus = 0x90;
const unsigned char NoteOffStatus = 0x80;
const unsigned char NoteOnEventType = 1;
const unsigned char NoteOffEventType = 0;

} // namespace

KeyboardNoteEventManager::KeyboardNoteEventManager(ModelIF* model, MidiTransmitterIF* transmitter)
    : m_model(model), m_transmitter(transmitter)
{
    m_keyMap.fill(-1);
    for (int i = 0; KeyboardNoteKeys[i] != '\0'; ++i) {
        const auto key = static_cast<unsigned char>(KeyboardNoteKeys[i]);
        m_keyMap[key] = static_cast<signed char>(i < UpperRowStart ? i : i - 1);
    }
    for (unsigned int id : {PCKeyboardEnableParameterId, PCKeyboardOctaveParameterId, PCKeyboardChannelParameterId,
                            PCKeyboardVelocityParameterId}) {
        updateParameter(id);
    }
    m_model->registerModelAssistant(this);
}

KeyboardNoteEventManager::~KeyboardNoteEventManager()
{
    m_model->unregisterModelAssistant(this);
    clearAllNoteEvent();
}

bool KeyboardNoteEventManager::trunsmitNoteOnByKeyDown(unsigned int character)
{
    if (!m_enabled || !canTransmitNoteEventByKeyEvent()) {
        return false;
    }
    const unsigned int key = convertCharacterToUpper(character);
    if (isKeyDown(key)) {
        return false; // auto-repeat of a held key
    }
    unsigned char note = 0;
    if (!getNoteNumberByKey(key, note)) {
        return false;
    }
    NoteRecord& record = m_notes[note];
    if (record.sounding) {
        return true; // the other key of the shared C holds it
    }
    // A hand-edited setting can hold any number; the bytes must stay one valid note-on.
    const auto channel = static_cast<unsigned char>(std::clamp(m_channel, 1, 16) - 1);
    const auto velocity = static_cast<unsigned char>(std::clamp(m_velocity, 0, 127));
    record.sounding = true;
    record.key = key;
    record.channel = channel;
    const unsigned char message[3] = {static_cast<unsigned char>(NoteOnStatus + channel), note, velocity};
    m_transmitter->transmitMidi(message, sizeof message, NoteOnEventType, OutputPortGroupBoth, false);
    return true;
}

bool KeyboardNoteEventManager::trunsmitNoteOffByKeyUp(unsigned int character)
{
    const int note = findNoteOfKey(convertCharacterToUpper(character));
    if (note < 0) {
        return false;
    }
    transmitNoteOff(static_cast<unsigned char>(note));
    return true;
}

void KeyboardNoteEventManager::clearAllNoteEvent()
{
    for (int note = 0; note < NoteCount; ++note) {
        if (m_notes[note].sounding) {
            transmitNoteOff(static_cast<unsigned char>(note));
        }
    }
}

bool KeyboardNoteEventManager::canTransmitNoteEventByKeyEvent() const
{
    return !m_typingFocusQuery || !m_typingFocusQuery();
}

bool KeyboardNoteEventManager::isKeyDown(unsigned int character) const
{
    return findNoteOfKey(convertCharacterToUpper(character)) >= 0;
}

bool KeyboardNoteEventManager::getNoteNumberByKey(unsigned int character, unsigned char& note) const
{
    // Characters beyond 8 bits are no keys of the map, whatever their low byte says.
    if (character >= KeyCount || m_keyMap[character] < 0) {
        return false;
    }
    const long long number = MiddleNote + 12LL * m_octave + m_keyMap[character];
    if (number < 0 || number >= NoteCount) {
        return false;
    }
    note = static_cast<unsigned char>(number);
    return true;
}

unsigned int KeyboardNoteEventManager::convertCharacterToUpper(unsigned int character)
{
    return (character >= 'a' && character <= 'z') ? character - 'a' + 'A' : character;
}

void KeyboardNoteEventManager::updateParameter(unsigned int id)
{
    switch (id) {
    case PCKeyboardEnableParameterId:
        m_enabled = m_model->getModelIntValue(id) != 0;
        break;
    case PCKeyboardOctaveParameterId:
        m_octave = m_model->getModelIntValue(id);
        break;
    case PCKeyboardChannelParameterId:
        m_channel = m_model->getModelIntValue(id);
        break;
    case PCKeyboardVelocityParameterId:
        m_velocity = m_model->getModelIntValue(id);
        break;
    default:
        break;
    }
}

void KeyboardNoteEventManager::transmitNoteOff(unsigned char note)
{
    NoteRecord& record = m_notes[note];
    record.sounding = false;
    record.key = 0;
    const unsigned char message[3] = {static_cast<unsigned char>(NoteOffStatus + record.channel), note, 0};
    m_transmitter->transmitMidi(message, sizeof message, NoteOffEventType, OutputPortGroupBoth, false);
}

int KeyboardNoteEventManager::findNoteOfKey(unsigned int upperKey) const
{
    for (int note = 0; note < NoteCount; ++note) {
        if (m_notes[note].sounding && m_notes[note].key == upperKey) {
            return note;
        }
    }
    return -1;
}
