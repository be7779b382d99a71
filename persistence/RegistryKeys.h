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
