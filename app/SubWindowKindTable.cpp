#include "app/SubWindowKindTable.h"

#include "app/MainWindowConstants.h"
#include "persistence/WindowRestorationInfo.h"
#include "views/AboutView.h"
#include "views/LicenseTextView.h"
#include "views/MidiActivesensingView.h"
#include "views/MidiControlChangeView.h"
#include "views/MidiCustomMidiMessageView.h"
#include "views/MidiEditView.h"
#include "views/MidiFilterView.h"
#include "views/MidiKeyboardView.h"
#include "views/MidiPCKeyboardView.h"
#include "views/MidiPitchbendView.h"
#include "views/MidiProgramChangeView.h"
#include "views/MidiSettingsView.h"
#include "views/MidiTimingClockGeneratorView.h"
#include "views/MidiTransportPanelView.h"
#include "views/PreferencesView.h"

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

// The creator of the windows that need nothing but a parent.
template <class View>
QWidget* createPlainView(const SubWindowRequest&)
{
    return new View(nullptr);
}

QWidget* createMidiControlChangeView(const SubWindowRequest& request)
{
    return new MidiControlChangeView(nullptr, request.controllerNumber, request.model);
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
         Size::Keyboard, {}, createView<MidiKeyboardView>},
        // Opened from its submenu, one entry per controller.
        {Id::ControlChangeId, "&Control Change", Menu::Views, nullptr, ControlChangeViewSubWindowName,
         ControlChangeViewCountLimit, Size::Given, {225, 250}, createMidiControlChangeView},
        {Id::ProgramChangeId, "&Program Change", Menu::Views, "Ctrl+P", {}, SubWindowCountLimit, Size::Content, {},
         createView<MidiProgramChangeView>},
        {Id::PitchBendId, "Pitch &Bend", Menu::Views, "Ctrl+B", PitchbendViewSubWindowName, SubWindowCountLimit,
         Size::Given, {220, 274}, createView<MidiPitchbendView>},
        {Id::MidiMessageEditorId, "&System Exclusive", Menu::Views, "Ctrl+E", MidiEditViewSubWindowName,
         SubWindowCountLimit, Size::MessageView, {}, createMidiEditView},
        {Id::TimingClockId, "&Timing Clock", Menu::Views, "Ctrl+T", TimingClockViewSubWindowName, 1, Size::Given,
         {220, 250}, createView<MidiTimingClockGeneratorView>},
        {Id::TransportPanelId, "Sta&rt/Stop", Menu::Views, "Ctrl+1", TransportPanelViewSubWindowName, 1, Size::Content,
         {}, createView<MidiTransportPanelView>},
        {Id::ActiveSensingId, "&Active Sensing", Menu::Views, "Ctrl+J", ActivesenseViewSubWindowName, 1, Size::Given,
         {220, 250}, createView<MidiActivesensingView>},
        {Id::CustomMidiMessageId, "Cust&om MIDI Message", Menu::Views, "Ctrl+2", CustomMIDIMessageViewSubWindowName,
         CustomMIDIMessageViewCountLimit, Size::Given, {270, 274}, createView<MidiCustomMidiMessageView>},
        {Id::FilterId, "&Filter", Menu::ViewsAfterSeparator, "Ctrl+L", {}, 1, Size::Content, {},
         createView<MidiFilterView>},
        {Id::MidiSettingsId, "&MIDI Settings", Menu::ViewsAfterSeparator, "Ctrl+M", MIDISettingsViewSubWindowName, 1,
         Size::MidiSettings, {}, createView<MidiSettingsView>},
        {Id::PCKeyboardId, "PC Keyboar&d", Menu::ViewsAfterSeparator, "Ctrl+D", PCKeyboardViewSubWindowName, 1,
         Size::Content, {}, createView<MidiPCKeyboardView>},
        {PreferencesKind, "&Preferences...", Menu::File, nullptr, {}, 1, Size::Content, {}, createView<PreferencesView>},
        {AboutKind, "&About", Menu::Help, nullptr, {}, 1, Size::Content, {}, createPlainView<AboutView>},
        {OpenSourceLicenseKind, "&Open Source License", Menu::Help, nullptr, {}, 1, Size::Content, {},
         createPlainView<LicenseInfoView>},
        {EULAKind, "&Software User License Agreement", Menu::Help, nullptr, {}, 1, Size::Content, {},
         createPlainView<EULAView>},
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
