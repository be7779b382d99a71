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
