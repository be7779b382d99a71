#pragma once

#include <QColor>
#include <QRect>
#include <QSize>
#include <QSizeF>

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
// Keyboard view.
constexpr unsigned char KeyboardNoteOnMessage = 0x90;
constexpr unsigned char KeyboardNoteOffMessage = 0x80;
constexpr unsigned char KeyboardNotteOffVelocity = 0;
constexpr unsigned char KeyPressureMessage = 0xA0;
constexpr unsigned char ChannelPressureMessage = 0xD0;
constexpr QSizeF WhiteKeySize(25.0, 100.0);
constexpr QSize KeyboardViewSize(1875, 101); // 75 white keys
constexpr QSize KeyboardUpperViewSize(430, 40);
constexpr int KeyboardUpperViewLeft = 15;
constexpr int KeyboardUpperViewTop = 10;
constexpr int KeyboardUpperViewRowHeight = 23;
constexpr int KeyboardUpperViewLabelWidth = 50;
constexpr int KeyboardUpperViewSpinBoxWidth = 70;
constexpr int KeyboardUpperViewComboBoxWidth = 80;
constexpr int KeyboardUpperViewGap = 10;
constexpr int KeyboardScrollAreaHeight = 121;
constexpr int KeyboardPressureModeCount = 3;
extern const char* const KeyboardPressureNameList[KeyboardPressureModeCount];
extern const char KeyboardChannelText[];
extern const char KeyboardVelocityText[];
extern const char KeyboardPressureText[];

// Control change view.
constexpr int ControlChangeMax = 128;
constexpr int ControlChangeListMinimumLength = 16; // characters shown in the closed list
// The knob's starting (and reset) value for each controller: the value an instrument rests at.
extern const unsigned char ControlChangeInitialValueTable[ControlChangeMax];
extern const char ControlChangeChannelText[];
extern const char ControlChangeTransmitText[];

// Program change view.
extern const char ProgramChangeChannelText[];
extern const char ProgramChangeBankText[];
extern const char ProgramChangeMSBText[];
extern const char ProgramChangeLSBText[];
extern const char ProgramChangeNumberText[];
extern const char ProgramChangeAutoTransmitText[];
extern const char ProgramChangeTransmitText[];
constexpr QSize ProgramChangeDisplaySize(128, 48);
constexpr QRect ProgramChangeIncreaseButtonRect(114, 0, 14, 24);
constexpr QRect ProgramChangeDecreaseButtonRect(114, 24, 14, 24);

// Pitch bend view.
constexpr unsigned char PitchbendMessage = 0xE0;
constexpr unsigned char PitchbendMask = 0x7F;
constexpr QSize PitchbendSliderSize(43, 161);
extern const char PitchbendChannelText[];
extern const char PitchbendWheelModeText[];
extern const char PitchbendTransmitText[];
// Timing clock generator.
extern const char TimingClockReceive[];
extern const char TimingClockTransmit[];
extern const char InvalidTempoText[];
extern const char MaximumTempoText[];

// Transport panel.
constexpr int TransportPanelSongPositionMask = 0x7F;
extern const char TransportPanelTransmitText[];
extern const char TransportPanelStopButtonText[];
extern const char TransportPanelContinueButtonText[];
extern const char TransportPanelStartButtonText[];
// The one-byte messages, in this order.
constexpr unsigned char TransportPanelContinueMessage = 0xFB;
constexpr unsigned char TransportPanelStopMessage = 0xFC;
constexpr unsigned char TransportPanelStartMessage = 0xFA;

// Active sensing.
extern const char ActinvesenseTransmit[];
extern const char ActinvesenseStop[];

// Custom MIDI message.
extern const char CustomMIDIMessageNameLabel[];
extern const char CustomMIDIMessageMessageLabel[];
extern const char CustomMIDIMessageKnobTargetByteLabel[];
extern const char CustomMIDIMessageTransmitText[];
// %1 is the byte under the cursor.
extern const char SetMessageByteToKnobTargetByteMenu[];
// A blank or a comma: what separates bytes and is dropped before the bytes are counted.
extern const char RegExpOfUunnecessaryCharacterForCustomMessage[];
extern const char CustomMIDIMessageValidatorPattern[];
extern const char CustomMIDIMessageNoByteText[];
constexpr int CustomMIDIMessageNameMaxLength = 32;
constexpr int CustomMIDIMessageMaxLength = 383;
