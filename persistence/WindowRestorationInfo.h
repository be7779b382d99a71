#pragma once

#include <QList>
#include <QVariant>

// Second base class of every tool view that can be restored from the settings file or a project
// file. The main window finds the kind of a sub-window by casting its widget to this class, and
// stores the extra values with the window's rectangle so that the same window can be re-created.
class WindowRestorationInfo {
public:
    // Written to project files and to the SavePosition group: the numbers must never change.
    enum WindowId {
        MainWindowId = 0,
        MidiInMonitorId = 1,
        MidiOutMonitorId = 2,
        MidiMessageEditorId = 3,
        KeyboardId = 4,
        ControlChangeId = 5,
        ProgramChangeId = 6,
        MidiSettingsId = 7,
        FilterId = 8,
        TimingClockId = 9,
        PitchBendId = 10,
        ActiveSensingId = 11,
        PCKeyboardId = 12,
        CustomMidiMessageId = 13,
        TransportPanelId = 14,
    };
    static constexpr int FirstToolWindowId = MidiInMonitorId;
    static constexpr int LastToolWindowId = TransportPanelId;

    explicit WindowRestorationInfo(WindowId windowId);
    virtual ~WindowRestorationInfo();

    WindowId getWindowId() const;
    void setWindowId(WindowId windowId);

    // The values after rectangle, state and stay-on-top in a stored layout entry.
    virtual QList<QVariant> getRestorationParameters() const;

    // True for the identifiers of tool windows (1 to 14); 0 and anything else is not one.
    static bool isToolWindowId(int id);

private:
    WindowId m_windowId;
};
