#pragma once

#include <QColor>
#include <QSize>

// Texts, sizes and limits of the tool views, named once.

// Monitors and message editor.
constexpr int MonitorViewLineLimit = 1024;
constexpr unsigned int EnabledProgressBarBytes = 256;
constexpr int MidiEditToolBarHeight = 36;
constexpr int MidiEditSubViewHeight = 40;
constexpr QSize MidiEditButtonSize(32, 32);
constexpr int MidiEditSubViewMargin = 7;
extern const char DumpFileExtension[];
extern const char TextFileFilterText[];
// The editor's open and save dialogs offer message texts and system exclusive files.
extern const char MessageFileFilterText[];
extern const char SysExFileTooLargeMessage[];
// Why a message text could not be saved as bytes: line, column, character.
extern const char MessageTextErrorMessage[];
extern const char OpenDialogTitleText[];
extern const char SaveDialogTitleText[];

extern const char NewMenuText[];
extern const char OpenMenuText[];
extern const char SaveMenuText[];
extern const char TransmitMenuText[];
extern const char ReceiveMenuText[];
extern const char TransmitAndReceiveMenuText[];
extern const char FindMenuText[];
extern const char RepeatSettingsMenuText[];
extern const char ClearMenuText[];

extern const char CancelText[];
extern const char OKText[];
extern const char CloseText[];
extern const char PreviousText[];
extern const char NextText[];
extern const char RetransmittingMessage[];
extern const char UnableToReceiveWhileRepeatingMessage[];
extern const char MessageReceiveText[];
extern const char ByteText[];
extern const char BytesText[];
