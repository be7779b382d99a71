#pragma once

// Names shared by the monitors, the filter view, the settings file and the control change views.

// Event types beyond the message library's 0..17: no library counterpart, and bytes shown or
// forwarded without parsing.
constexpr unsigned char NoEventType = 19;
constexpr unsigned char UnparsedEventType = 20;

// Monitor labels indexed by event type, each exactly 8 characters.
constexpr int MessageTypeCount = 21;
extern const char* const MessageType[MessageTypeCount];

// Pitch-class names of note numbers modulo 12.
constexpr int OctaveNoteCount = 12;
extern const char* const OctaveNoteList[OctaveNoteCount];

// "000 Bank (MSB)" ... "127 Poly On", indexed by controller number.
constexpr int ControlChangeNameCount = 128;
extern const char* const ControlChangeNameList[ControlChangeNameCount];

// The message kinds of the filter view, in the order of parameters 700..709.
enum MIDIFilter : unsigned int {
    MIDIFilterNoteOff,
    MIDIFilterNoteOn,
    MIDIFilterKeyPressure,
    MIDIFilterControlChange,
    MIDIFilterProgramChange,
    MIDIFilterChannelPressure,
    MIDIFilterPitchBend,
    MIDIFilterSystemExclusive,
    MIDIFilterSystemCommon,
    MIDIFilterSystemRealtime,
    MIDIFilterCount
};
extern const char* const MIDIFilterNameList[MIDIFilterCount];

// System common messages of the filter view, in the order of parameters 1000..1003.
enum FilterSystemCommon : unsigned int {
    FilterSystemCommonTimeCode,
    FilterSystemCommonSongPosition,
    FilterSystemCommonSongSelect,
    FilterSystemCommonTuneRequest,
    FilterSystemCommonCount
};
extern const char* const FilterSystemCommonNameList[FilterSystemCommonCount];

// System real-time messages of the filter view, in the order of parameters 1100..1105.
enum FilterSystemRealtime : unsigned int {
    FilterSystemRealtimeTimingClock,
    FilterSystemRealtimeStart,
    FilterSystemRealtimeContinue,
    FilterSystemRealtimeStop,
    FilterSystemRealtimeActiveSensing,
    FilterSystemRealtimeSystemReset,
    FilterSystemRealtimeCount
};
extern const char* const FilterSystemRealtimeNameList[FilterSystemRealtimeCount];
