#include "app/SubWindowKindTable.h"

#include "app/MainWindowConstants.h"
#include "persistence/WindowRestorationInfo.h"
#include "views/MidiEditView.h"

namespace {

// The creator of every view whose constructor takes the parent and the model.
template <class View>
QWidget* createView(const SubWindowRequest& request)
{
    return new View(nullptr, request.model);
}

QWidget* createMidiEditView(const SubWindowRequest& request)
{
    MidiEditView::OpenMode mode = MidiEditView::SystemExclusiveEdit;
    if (request.kind == WindowRestorationInfo::MidiInMonitorId) {
        mode = MidiEditView::InMonitor;
    } else if (request.kind == WindowRestorationInfo::MidiOutMonitorId) {
        mode = MidiEditView::OutMonitor;
    } else if (request.receiving) {
        mode = MidiEditView::SystemExclusiveReceive;
    }
    return new MidiEditView(nullptr, request.model, mode, request.text);
}

using Id = WindowRestorationInfo::WindowId;
using Menu = SubWindowMenu;
using Size = SubWindowSizeRule;

} // namespace

const std::vector<SubWindowKind>& subWindowKindTable()
{
    static const std::vector<SubWindowKind> table{
        // kind, menu text, menu, shortcut, object name, limit, size rule, size, creator
        {Id::MidiInMonitorId, "MIDI &In Monitor", Menu::Views, "Ctrl+I", MidiEditViewSubWindowName, 1,
         Size::MessageView, {}, createMidiEditView},
        {Id::MidiOutMonitorId, "MIDI O&ut Monitor", Menu::Views, "Ctrl+U", MidiEditViewSubWindowName, 1,
         Size::MessageView, {}, createMidiEditView},
        {Id::KeyboardId, "&Keyboard", Menu::Views, "Ctrl+K", KeyboardSubWindowName, SubWindowCountLimit,
         Size::Keyboard, {}, nullptr},
        // Opened from its submenu, one entry per controller.
        {Id::ControlChangeId, "&Control Change", Menu::Views, nullptr, ControlChangeViewSubWindowName,
         ControlChangeViewCountLimit, Size::Given, {225, 250}, nullptr},
        {Id::ProgramChangeId, "&Program Change", Menu::Views, "Ctrl+P", {}, SubWindowCountLimit, Size::Content, {},
         nullptr},
        {Id::PitchBendId, "Pitch &Bend", Menu::Views, "Ctrl+B", PitchbendViewSubWindowName, SubWindowCountLimit,
         Size::Given, {220, 274}, nullptr},
        {Id::MidiMessageEditorId, "&System Exclusive", Menu::Views, "Ctrl+E", MidiEditViewSubWindowName,
         SubWindowCountLimit, Size::MessageView, {}, createMidiEditView},
        {Id::TimingClockId, "&Timing Clock", Menu::Views, "Ctrl+T", TimingClockViewSubWindowName, 1, Size::Given,
         {220, 250}, nullptr},
        {Id::TransportPanelId, "Sta&rt/Stop", Menu::Views, "Ctrl+1", TransportPanelViewSubWindowName, 1, Size::Content,
         {}, nullptr},
        {Id::ActiveSensingId, "&Active Sensing", Menu::Views, "Ctrl+J", ActivesenseViewSubWindowName, 1, Size::Given,
         {220, 250}, nullptr},
        {Id::CustomMidiMessageId, "Cust&om MIDI Message", Menu::Views, "Ctrl+2", CustomMIDIMessageViewSubWindowName,
         CustomMIDIMessageViewCountLimit, Size::Given, {270, 274}, nullptr},
        {Id::FilterId, "&Filter", Menu::ViewsAfterSeparator, "Ctrl+L", {}, 1, Size::Content, {}, nullptr},
        {Id::MidiSettingsId, "&MIDI Settings", Menu::ViewsAfterSeparator, "Ctrl+M", MIDISettingsViewSubWindowName, 1,
         Size::MidiSettings, {}, nullptr},
        {Id::PCKeyboardId, "PC Keyboar&d", Menu::ViewsAfterSeparator, "Ctrl+D", PCKeyboardViewSubWindowName, 1,
         Size::Content, {}, nullptr},
        {PreferencesKind, "&Preferences...", Menu::File, nullptr, {}, 1, Size::Content, {}, nullptr},
        {AboutKind, "&About", Menu::Help, nullptr, {}, 1, Size::Content, {}, nullptr},
        {OpenSourceLicenseKind, "&Open Source License", Menu::Help, nullptr, {}, 1, Size::Content, {}, nullptr},
        {EULAKind, "&Software User License Agreement", Menu::Help, nullptr, {}, 1, Size::Content, {}, nullptr},
    };
    return table;
}

const SubWindowKind* findSubWindowKind(int kind)
{
    for (const SubWindowKind& row : subWindowKindTable()) {
        if (row.kind == kind) {
            return &row;
        }
    }
    return nullptr;
}
