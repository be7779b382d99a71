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
