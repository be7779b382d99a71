#include "engine/MessageTables.h"

const char* const MessageType[MessageTypeCount] = {
    "NoteOff ", "NoteOn  ", "KeyPre  ", "CC      ", "PC      ", "Ch.Pre  ", "PB      ",
    "SysEx   ", "TimeCode", "SongPos ", "SongSel ", "TuneReq ", "T.Clock ", "Start   ",
    "Continue", "Stop    ", "A.Sense ", "SysReset", "--------", "--------", "--------",
};

const char* const OctaveNoteList[OctaveNoteCount] = {
    "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B",
};

const char* const ControlChangeNameList[ControlChangeNameCount] = {
    "000 Bank (MSB)", "001 Modulation", "002 Breath", "003 ---", "004 Foot", "005 Portamento Time",
    "006 Data Entry", "007 Volume", "008 Balance", "009 ---", "010 Pan", "011 Expression",
    "012 Effect 1", "013 Effect 2", "014 ---", "015 ---", "016 General 1", "017 General 2",
    "018 General 3", "019 General 4", "020 ---", "021 ---", "022 ---", "023 ---", "024 ---",
    "025 ---", "026 ---", "027 ---", "028 ---", "029 ---", "030 ---", "031 ---",
    "032 Bank (LSB)", "033 Modulation (LSB)", "034 Breath (LSB)", "035 ---", "036 Foot (LSB)",
    "037 Portamento Time (LSB)", "038 Data Entry (LSB)", "039 Volume (LSB)", "040 Balance (LSB)",
    "041 ---", "042 Pan (LSB)", "043 Expression (LSB)", "044 Effect 1 (LSB)", "045 Effect 2 (LSB)",
    "046 ---", "047 ---", "048 General 1 (LSB)", "049 General 2 (LSB)", "050 General 3 (LSB)",
    "051 General 4 (LSB)", "052 ---", "053 ---", "054 ---", "055 ---", "056 ---", "057 ---",
    "058 ---", "059 ---", "060 ---", "061 ---", "062 ---", "063 ---", "064 Damper Pedal",
    "065 Portamento Switch", "066 Sostenuto", "067 Soft Pedal", "068 Legato", "069 Hold2",
    "070 Variation", "071 Harmonic", "072 Release", "073 Attack", "074 Brightness",
    "075 Sound Controller 6", "076 Sound Controller 7", "077 Sound Controller 8",
    "078 Sound Controller 9", "079 Sound Controller 10", "080 General 5", "081 General 6",
    "082 General 7", "083 General 8", "084 Portamento Control", "085 ---", "086 ---", "087 ---",
    "088 ---", "089 ---", "090 ---", "091 Reverb", "092 Tremolo", "093 Chorus", "094 Celeste",
    "095 Phaser", "096 Data Increment", "097 Data Decrement", "098 NRPN (LSB)", "099 NRPN (MSB)",
    "100 RPN (LSB)", "101 RPN (MSB)", "102 ---", "103 ---", "104 ---", "105 ---", "106 ---",
    "107 ---", "108 ---", "109 ---", "110 ---", "111 ---", "112 ---", "113 ---", "114 ---",
    "115 ---", "116 ---", "117 ---", "118 ---", "119 ---", "120 All Sound Off",
    "121 Reset All Controllers", "122 Local Control", "123 All Notes Off", "124 Omni Off",
    "125 Omni On", "126 Mono On", "127 Poly On",
};

const char* const MIDIFilterNameList[MIDIFilterCount] = {
    "Note Off", "Note On", "Key Pressure", "Control Change", "Program Change",
    "Channel Pressure", "Pitch Bend", "System Exclusive", "System Common", "System Realtime",
};

const char* const FilterSystemCommonNameList[FilterSystemCommonCount] = {
    "(F1) MIDI Time Code Quarter Frame", "(F2) Song Position Pointer", "(F3) Song Select",
    "(F6) Tune Request",
};

const char* const FilterSystemRealtimeNameList[FilterSystemRealtimeCount] = {
    "(F8) Timing Clock", "(FA) Start", "(FB) Continue", "(FC) Stop", "(FE) Active Sensing",
    "(FF) System Reset",
};
