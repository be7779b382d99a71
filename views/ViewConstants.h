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

// Filter view.
constexpr QSize MidiFilterViewSize(650, 268);
extern const char FilterChannelText[];
extern const char FilterMessageText[];
extern const char FilterAllText[];
extern const char FilterNoneText[];
extern const char FilterRightArrow[];
extern const char FilterControlChangeGroupBoxName[];
extern const char FilterSystemCommonGroupBoxName[];
extern const char FilterSystemRealtimeGroupBoxName[];
extern const char FilterFunctionName[]; // %1 of the disabled message

// MIDI settings view.
constexpr QSize MIDISettingsViewPanelSize(480, 200);
extern const char MIDIPortGroupBoxName[];
extern const char InputPortText[];
extern const char ThruText[];
extern const char OutputPortText[];
extern const char UpdatePortListText[];
extern const char BulkIntervalFunctionName[]; // %1 of the disabled message

// Preferences view.
constexpr QSize PreferencesViewSize(245, 280);
extern const char PreferencesUIGroupBoxName[];
extern const char PreferencesMessageGroupBoxName[];

// PC keyboard view: its controls with a margin like their own on the left.
constexpr QSize MidiPCKeyboardViewSize(205, 152);

// About box and licence texts.
constexpr QSize AboutViewSize(501, 170);
constexpr QSize LicenseViewSize(675, 300);
extern const char AboutInfo[];
extern const char Version[];
extern const char OpenSourceLicenseTextFileName[];
extern const char OpenSourceLicenseTextFileExtension[];
extern const char EULATextFileName[];
extern const char EULATextFileExtension[];
// Replaced in the open-source licence text by the version of the Qt library the program runs with.
extern const char QtVersionPlaceholder[];
