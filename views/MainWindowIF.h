#pragma once

#include "engine/MidiTransmitterIF.h"
#include "persistence/SettingsStore.h"

#include <QSize>
#include <QString>
#include <QStringList>

class MidiEditView;

// The services of the main window that tool views call, including the single transmit path that
// the views' worker threads use. The main window implements it (and through it the engine's
// MidiTransmitterIF) and makes itself the instance at construction; views never include the
// application's headers, and tests put a stand-in in its place.
class MainWindowIF : public MidiTransmitterIF {
public:
    using PortDirection = SettingsStore::PortDirection;

    ~MainWindowIF() override;

    // The main window's timer hands received monitor text and received system exclusive text to
    // the receiving views (In monitors and message editors) and transmitted text to the Out
    // monitors. A view registers itself when created and unregisters when destroyed; removing a
    // view that is not registered does nothing.
    virtual void addReceivingView(MidiEditView* view) = 0;
    virtual void removeReceivingView(MidiEditView* view) = 0;
    virtual void addOutMonitorView(MidiEditView* view) = 0;
    virtual void removeOutMonitorView(MidiEditView* view) = 0;

    // Opens a new message editor window (title from the "&System Exclusive" entry): receiving
    // (default size, no text) or editing `text` at `size` (the default size when not valid).
    virtual void openMessageEditor(bool receiving, const QSize& size, const QString& text) = 0;

    // Releases every note held by the computer keyboard; called before modal file dialogs.
    virtual void clearKeyboardAllNoteEvent() = 0;

    // Port selection, as the port menus do it; `group` is the first (0) or second (1) port of
    // `direction`. The list is "No Assign" followed by the service's port names, with the list
    // position of the port now open (0 when none).
    virtual void getPortList(PortDirection direction, unsigned int group, QStringList& names,
                             unsigned int& currentIndex) = 0;
    virtual bool closePort(PortDirection direction, unsigned int group) = 0;
    // Opens port `portIndex` of the service's list (InvalidPortIndex: closes the port). False when
    // the open failed; the port is then closed and the user has been told.
    virtual bool selectPort(PortDirection direction, unsigned int group, unsigned int portIndex) = 0;

    // A critical message box titled "Tulvar MIDI" with an OK button.
    virtual void showErrorMessageBox(const QString& text) = 0;

    // True while a project file is being read: views that send when a control changes stay
    // quiet while the project's values are put into them.
    virtual bool isOpeningProject() const;

    // The main window, or null before it exists and after it has gone.
    static MainWindowIF* instance();
    static void setInstance(MainWindowIF* mainWindow);
};
