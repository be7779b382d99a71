#pragma once

#include <QSize>
#include <QString>

#include <functional>
#include <vector>

class QWidget;
class TulvarMidiModel;

// Kinds that are not window identifiers (WindowRestorationInfo::WindowId 1-14): never restored.
enum ExtraSubWindowKind { PreferencesKind = 100, AboutKind, OpenSourceLicenseKind, EULAKind };

// What a creator needs to build a view.
struct SubWindowRequest {
    SubWindowRequest(int windowKind = 0) : kind(windowKind) {}
    int kind;
    TulvarMidiModel* model = nullptr;   // filled in by the sub-window manager
    unsigned char controllerNumber = 0; // control change windows
    bool receiving = false;             // message editors opened to receive
    QString text;                       // initial text of a message editor
};

// Builds the view of one kind (a QWidget that is also a WindowRestorationInfo for kinds 1-14),
// or returns null when it cannot.
using SubWindowCreator = std::function<QWidget*(const SubWindowRequest&)>;

enum class SubWindowSizeRule {
    MessageView,  // MidiEditViewDefaultSize, or a given view size plus the frame
    Keyboard,     // the view's height, a width between the keyboard limits
    Given,        // SubWindowKind::size
    MidiSettings, // initial size, with its minimum and maximum
    Content,      // whatever the view's layout asks for
};

// Where the kind is opened from; the Views menu lists its kinds in table order.
enum class SubWindowMenu { Views, ViewsAfterSeparator, File, Help };

struct SubWindowKind {
    int kind;
    const char* menuText; // the title is this without "&" and "..."
    SubWindowMenu menu;
    const char* shortcut; // null: none
    QString objectName;   // empty: the sub-window keeps Qt's empty name, and so a fixed size
    int limit;            // 1: a single instance that is activated when opened again
    SubWindowSizeRule sizeRule;
    QSize size;           // SubWindowSizeRule::Given only
    SubWindowCreator creator; // empty: the view is not part of the program, its menu entry is disabled
};

// Every kind of tool window, in the order of the Views menu. See docs/ARCHITECTURE.md for how a
// view adds its kind.
const std::vector<SubWindowKind>& subWindowKindTable();
// The row of a kind, or null.
const SubWindowKind* findSubWindowKind(int kind);
