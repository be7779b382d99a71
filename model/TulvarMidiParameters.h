#pragma once

#include "model/ModelResult.h"

#include <QString>

class ModelIF;

// Identifiers of the application's parameters. Ranges of switches are named by their first
// identifier: the channel filter of channel c (0-15) is ChannelFilterParameterId + c.
enum TulvarMidiParameterId : unsigned int {
    MidiEditTransmissionStateParameterId = 0,
    DumpFileWorkingDirectoryParameterId = 1,
    ProjectFileWorkingDirectoryParameterId = 2,
    EditFlagParameterId = 3,
    MidiEditRepeatModeParameterId = 4,

    MidiThruParameterId = 500,
    BulkIntervalParameterId = 501,
    MidiThruSecondParameterId = 502,
    InputPortIndexParameterId = 503,
    InputPortIndexSecondParameterId = 504,
    OutputPortIndexParameterId = 505,
    OutputPortIndexSecondParameterId = 506,

    ChannelFilterParameterId = 600,           // 600-615
    MessageTypeFilterParameterId = 700,       // 700-709
    ControlChangeFilterParameterId = 800,     // 800-927
    SystemCommonFilterParameterId = 1000,     // 1000-1003
    SystemRealtimeFilterParameterId = 1100,   // 1100-1105

    KnobModeParameterId = 1200,
    TimeStampParameterId = 1201,
    MessageFontSizeParameterId = 1202,
    MessageColorParameterId = 1203,
    MessageDetailParameterId = 1204,
    MessageMiddleCParameterId = 1205,
    MessageTimeFormatParameterId = 1206,
    MessageParsedParameterId = 1207,
    ProgramNumberBaseParameterId = 1208,

    PCKeyboardEnableParameterId = 1300,
    PCKeyboardOctaveParameterId = 1301,
    PCKeyboardChannelParameterId = 1302,
    PCKeyboardVelocityParameterId = 1303,
};

constexpr int ChannelFilterCount = 16;
constexpr int MessageTypeFilterCount = 10;
constexpr int ControlChangeFilterCount = 128;
constexpr int SystemCommonFilterCount = 4;
constexpr int SystemRealtimeFilterCount = 6;

// Maximum of the port index parameters: the index is not bounded by a known list.
constexpr int UnboundedIndexMaximum = 0x7FFFFFFF;

// Text converters of the parameters that show words instead of numbers. A value outside the
// table gives an empty text and MODEL_RESULT_ERROR.
QString getKnobModeString(int value, MODEL_RESULT* result);
QString getProgramNumberBaseString(int value, MODEL_RESULT* result);
QString getMessageFontSizeString(int value, MODEL_RESULT* result);
QString getMessageMiddleCString(int value, MODEL_RESULT* result);
QString getTimeFormatString(int value, MODEL_RESULT* result);

// The first standard documents folder, or an empty text when the platform knows none.
QString getDocumentDirectory();

// Creates the application's complete parameter set, at the defaults, in a model under
// construction. Nothing creates parameters later.
class TulvarMidiParameters {
public:
    explicit TulvarMidiParameters(ModelIF* model);
    virtual ~TulvarMidiParameters() = default;

    static void createParameters(ModelIF* model);
};
