#pragma once

#include <QSize>
#include <QString>

// Sizes, limits and texts of the main window and its sub-window management.

constexpr QSize MainWindowDefaultSize(679, 548);
constexpr QSize MidiEditViewDefaultSize(338, 274);
// The default layout: two message views side by side above a third.
constexpr QSize DefaultWorkspaceSize(2 * MidiEditViewDefaultSize.width(), 2 * MidiEditViewDefaultSize.height());
constexpr int ReceivedMidiDataTimer = 100; // ms between two hand-overs of received text
constexpr int QuitRetryInterval = 10;      // ms before a quit signal looks again for open dialogs

constexpr int SubWindowCountLimit = 16;
constexpr int ControlChangeViewCountLimit = 32;
constexpr int CustomMIDIMessageViewCountLimit = 32;

constexpr QSize MIDISettingsDefaultSize(500, 230);
constexpr QSize MIDISettingsHighResolutionOffset(3, 3);
constexpr int MIDISettingsMinimumHeight = 170;
constexpr int MIDISettingsMinimumWidthOffset = 20;
constexpr int KeyboardSubWindowMinimumWidth = 350;
constexpr int KeyboardSubWindowMaximumWidth = 1880;
// A restored rectangle must show at least this much of itself on some screen.
constexpr int MainWindowVisibleMinimum = 100;
constexpr int MainWindowRestorationOffset = 50;

inline QString const EditFlagCharacter = QStringLiteral("*");
inline QString const ConfirmationMessage = QStringLiteral("Do you want to save changes?");
// %1 is the window's menu text without "&" and "...".
inline QString const LimitViewDisplayMessage =
    QStringLiteral("Unable to open a new %1 View.\nPlease close any opened %1 View before trying again.");
inline QString const ProjectFileFilterText = QStringLiteral("Project Files (*.tulvarmidi)");
inline QString const UntitledProjectFileName = QStringLiteral("Untitled.tulvarmidi");
inline QString const ProjectFileSuffix = QStringLiteral("tulvarmidi");
inline QString const TextFileSuffix = QStringLiteral("txt");

// Sub-window object names; the resizable kinds are exactly the ones listed in ResizableObjectNameList.
inline QString const MidiEditViewSubWindowName = QStringLiteral("MidiEditViewSubWindow");
inline QString const KeyboardSubWindowName = QStringLiteral("KeyboardSubWindow");
inline QString const ControlChangeViewSubWindowName = QStringLiteral("ControlChangeViewSubWindow");
inline QString const PitchbendViewSubWindowName = QStringLiteral("PitchbendViewSubWindow");
inline QString const CustomMIDIMessageViewSubWindowName = QStringLiteral("CustomMIDIMessageViewSubWindow");
inline QString const TimingClockViewSubWindowName = QStringLiteral("TimingClockViewSubWindow");
inline QString const ActivesenseViewSubWindowName = QStringLiteral("ActivesenseViewSubWindow");
inline QString const MIDISettingsViewSubWindowName = QStringLiteral("MIDISettingsViewSubWindow");
inline QString const TransportPanelViewSubWindowName = QStringLiteral("TransportPanelViewSubWindow");
inline QString const PCKeyboardViewSubWindowName = QStringLiteral("PCKeyboardViewSubWindow");
