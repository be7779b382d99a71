#pragma once

// The constant description of one user-facing value; views configure their controls from it.
struct ValueRange {
    int minimum;
    int maximum;
    int defaultValue;
    char const* name;
    char const* suffix; // may be empty
};

inline constexpr ValueRange PitchBendSliderValue{0, 127, 64, "Pitch Bend Slider", ""};
inline constexpr ValueRange PitchBendDisplayValue{-8192, 8191, 0, "Pitch Bend Display", ""};
inline constexpr ValueRange PitchBendValue{0, 16383, 8192, "Pitch Bend", ""};
inline constexpr ValueRange ActiveSenseValue{100, 1000, 270, "Active Sense Interval", "ms"};
inline constexpr ValueRange TempoValue{5, 300, 90, "Tempo", "BPM"};
inline constexpr ValueRange ChannelDisplayValue{1, 16, 1, "Channel", ""};
inline constexpr ValueRange VelocityValue{0, 127, 64, "Velocity", ""};
inline constexpr ValueRange ProgramChangeMSBValue{0, 127, 0, "MSB", ""};
inline constexpr ValueRange ProgramChangeLSBValue{0, 127, 0, "LSB", ""};
inline constexpr ValueRange ProgramChangeNumberValue{1, 128, 1, "Program Number", ""};
inline constexpr ValueRange ControlChangeValue{0, 127, 0, "Control Change", ""};
inline constexpr ValueRange SysExSettingsRepeatValue{0, 1, 0, "Repeat", ""};
inline constexpr ValueRange SysExSettingsIntervalValue{500, 5000, 1000, "Interval (ms)", ""};
inline constexpr ValueRange CustomMIDIMessageValue{0, 127, 0, "Value", ""};
inline constexpr ValueRange CustomMIDIMessageKnobTargetByte{0, 191, 2, "Knob Target Byte", ""};
inline constexpr ValueRange TransportPanelSongNumber{1, 128, 1, "Song Number", ""};
inline constexpr ValueRange TransportpanelSongPosition{0, 16383, 0, "Song Position", ""};
