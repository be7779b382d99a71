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
