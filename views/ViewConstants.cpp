#include "views/ViewConstants.h"

const char DumpFileExtension[] = "txt";
const char TextFileFilterText[] = "Text Files (*.txt)";
const char MessageFileFilterText[] = "Text Files (*.txt);;System Exclusive Files (*.syx)";
const char SysExFileTooLargeMessage[] = "The file is larger than 16 MiB and was not opened.";
const char MessageTextErrorMessage[] = "Line %1, column %2: \"%3\" is not a hexadecimal digit.";
const char OpenDialogTitleText[] = "Open";
const char SaveDialogTitleText[] = "Save";

const char NewMenuText[] = "&New";
const char OpenMenuText[] = "&Open...";
const char SaveMenuText[] = "&Save...";
const char TransmitMenuText[] = "&Transmit";
const char ReceiveMenuText[] = "&Receive";
const char TransmitAndReceiveMenuText[] = "&Transmit and Receive";
const char FindMenuText[] = "&Find...";
const char RepeatSettingsMenuText[] = "R&epeat Transmission Settings...";
const char ClearMenuText[] = "&Clear";

const char CancelText[] = "Cancel";
const char OKText[] = "OK";
const char CloseText[] = "Close";
const char PreviousText[] = "Previous";
const char NextText[] = "Next";
const char RetransmittingMessage[] = "Retransmitting message.";
const char UnableToReceiveWhileRepeatingMessage[] =
    "Unable to receive messages when repeating\nmessage transmission is in-process.";
const char MessageReceiveText[] = "Message receive";
const char ByteText[] = "Byte";
const char BytesText[] = "Bytes";

const char FilterChannelText[] = "Channel";
const char FilterMessageText[] = "Message";
const char FilterAllText[] = "All";
const char FilterNoneText[] = "Clear";
const char FilterRightArrow[] = ">";
const char FilterControlChangeGroupBoxName[] = "Control Change";
const char FilterSystemCommonGroupBoxName[] = "System Common";
const char FilterSystemRealtimeGroupBoxName[] = "System Realtime";
const char FilterFunctionName[] = "Filter";

const char MIDIPortGroupBoxName[] = "MIDI Port";
const char InputPortText[] = "Input Port";
const char ThruText[] = "Thru";
const char OutputPortText[] = "Output Port";
const char UpdatePortListText[] = "Update Port List";
const char BulkIntervalFunctionName[] = "Bulk interval";

const char PreferencesUIGroupBoxName[] = "UI";
const char PreferencesMessageGroupBoxName[] = "Message";

const char AboutInfo[] = "MIDI tool for instrument developers.";
const char Version[] = "Ver.";
const char OpenSourceLicenseTextFileName[] = "OpenSourceLicense";
const char OpenSourceLicenseTextFileExtension[] = "txt";
const char EULATextFileName[] = "TulvarMIDILicense";
const char EULATextFileExtension[] = "txt";
const char QtVersionPlaceholder[] = "QT_VERSION";
const char* const KeyboardPressureNameList[KeyboardPressureModeCount] = {"Off", "Channel", "Key"};
const char KeyboardChannelText[] = "Channel";
const char KeyboardVelocityText[] = "Velocity";
const char KeyboardPressureText[] = "Pressure";

// clang-format off
const unsigned char ControlChangeInitialValueTable[ControlChangeMax] = {
    0,   0,   127, 64,  127, 64,  64,  100, 64,  64,  64,  127, 64,  64,  64,  64,  //   0- 15
    64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  //  16- 31
    0,   0,   0,   64,  0,   0,   0,   0,   0,   64,  64,  64,  64,  0,   0,   0,   //  32- 47
    0,   64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  //  48- 63
    0,   0,   0,   0,   64,  0,   64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  //  64- 79
    64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  //  80- 95
    0,   0,   0,   0,   0,   64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  64,  //  96-111
    64,  64,  64,  64,  64,  64,  64,  64,  0,   0,   0,   0,   0,   0,   0,   0,   // 112-127
};
// clang-format on
const char ControlChangeChannelText[] = "Channel";
const char ControlChangeTransmitText[] = "Transmit";

const char ProgramChangeChannelText[] = "Channel";
const char ProgramChangeBankText[] = "Bank";
const char ProgramChangeMSBText[] = "MSB";
const char ProgramChangeLSBText[] = "LSB";
const char ProgramChangeNumberText[] = "Program Number";
const char ProgramChangeAutoTransmitText[] = "Auto Transmit";
const char ProgramChangeTransmitText[] = "Transmit";

const char PitchbendChannelText[] = "Channel";
const char PitchbendWheelModeText[] = "Wheel Mode";
const char PitchbendTransmitText[] = "Transmit";
const char TimingClockReceive[] = "Receive";
const char TimingClockTransmit[] = "Transmit";
const char InvalidTempoText[] = "---";
const char MaximumTempoText[] = "300";

const char TransportPanelTransmitText[] = "Transmit";
const char TransportPanelStopButtonText[] = "Stop";
const char TransportPanelContinueButtonText[] = "Continue";
const char TransportPanelStartButtonText[] = "Start";

const char ActinvesenseTransmit[] = "Transmit";
const char ActinvesenseStop[] = "Stop";

const char CustomMIDIMessageNameLabel[] = "Name";
const char CustomMIDIMessageMessageLabel[] = "Message";
const char CustomMIDIMessageKnobTargetByteLabel[] = "Knob Target Byte";
const char CustomMIDIMessageTransmitText[] = "Transmit";
const char SetMessageByteToKnobTargetByteMenu[] = "Set byte position of '%1' to Knob Target Byte";
const char RegExpOfUunnecessaryCharacterForCustomMessage[] = " |,";
const char CustomMIDIMessageValidatorPattern[] = "^[0-9A-Fa-f,\\ ]+$";
const char CustomMIDIMessageNoByteText[] = "--";
