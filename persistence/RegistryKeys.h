#pragma once

// Names of the settings file, its groups and keys. Stored files depend on every letter.

constexpr char IniFileName[] = "TulvarMIDI.ini";

constexpr char FileWorkingDirectoryRegistrykey[] = "FileWorkingDirectory";
constexpr char DumpFileWorkingDirectoryRegistrykey[] = "DumpFileWorkingDirectory";
constexpr char ProjectFileWorkingDirectoryRegistrykey[] = "ProjectFileWorkingDirectory";

constexpr char MidiFilterRegistrykey[] = "MidiFilter";

// The group and its first key share one name.
constexpr char MidiThruRegistrykey[] = "MidiThru";
constexpr char BulkIntervalRegistrykey[] = "BulkInterval";
constexpr char MidiThruSecondRegistrykey[] = "MidiThruSecond";

constexpr char PortNameRegistrykey[] = "PortName";
constexpr char InputPortNameRegistrykey[] = "InputPortName";
constexpr char InputPortNameSecondRegistrykey[] = "InputPortNameSecond";
constexpr char OutputPortNameRegistrykey[] = "OutputPortName";
constexpr char OutputPortNameSecondRegistrykey[] = "OutputPortNameSecond";

constexpr char PreferencesRegistrykey[] = "Preferences";
constexpr char KnobModeRegistrykey[] = "KnobMode";
constexpr char TimeStampRegistrykey[] = "TimeStamp";
constexpr char MessageFontSizeRegistrykey[] = "MessageFontSize";
constexpr char MessageColorRegistrykey[] = "MessageColor";
constexpr char MessageDetailRegistrykey[] = "MessageDetail";
constexpr char MessageMiddleCRegistrykey[] = "MessageMiddleC";
constexpr char MessageTimeFormatRegistrykey[] = "MessageTimeFormat";
constexpr char MessageParsedRegistrykey[] = "MessageParsed";
constexpr char ProgramNumberBaseRegistrykey[] = "ProgramNumberBase";
constexpr char PCKeyboardEnableRegistrykey[] = "PCKeyboardEnable";
constexpr char PCKeyboardOctaveRegistrykey[] = "PCKeyboardOctave";
constexpr char PCKeyboardChannelRegistrykey[] = "PCKeyboardChannel";
constexpr char PCKeyboardVelocityRegistrykey[] = "PCKeyboardVelocity";

constexpr char SavePositionRegistrykey[] = "SavePosition";

// Message type filter switches 700-709 in parameter order; null marks the three that have no
// key ("Control Change", "System Common", "System Realtime" are never stored).
constexpr const char* MessageTypeFilterRegistrykeyList[] = {
    "Note Off", "Note On", "Key Pressure", nullptr, "Program Change",
    "Channel Pressure", "Pitch Bend", "System Exclusive", nullptr, nullptr,
};

// System common filter switches 1000-1003 and system realtime filter switches 1100-1105.
constexpr const char* SystemCommonFilterRegistrykeyList[] = {
    "(F1) MIDI Time Code Quarter Frame", "(F2) Song Position Pointer", "(F3) Song Select", "(F6) Tune Request",
};
constexpr const char* SystemRealtimeFilterRegistrykeyList[] = {
    "(F8) Timing Clock", "(FA) Start", "(FB) Continue", "(FC) Stop", "(FE) Active Sensing", "(FF) System Reset",
};
