#include "views/ViewConstants.h"

const char DumpFileExtension[] = "txt";
const char TextFileFilterText[] = "Text Files (*.txt)";
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
