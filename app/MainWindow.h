#pragma once

#include "app/MainWindowMenus.h"
#include "app/MonitorViews.h"
#include "app/PortSelection.h"
#include "app/SubWindowManager.h"
#include "engine/KeyboardNoteEventManager.h"
#include "engine/MidiAnalyzer.h"
#include "engine/MidiBulkIntervalManager.h"
#include "engine/MidiTransmitterIF.h"
#include "model/ModelAssistant.h"
#include "persistence/SettingsStore.h"
#include "views/MainWindowIF.h"

#include <QList>
#include <QMainWindow>
#include <QMessageBox>

#include <memory>
#include <optional>

class MidiService;
class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class TulvarMidiModel;

// The single top-level window: the MIDI ports (PortSelection), the MDI area whose tool windows
// SubWindowManager keeps, the menus and the project-file flows. Every message sent to MIDI goes
// through transmitMidi. Operations that belong to the two helpers are short forwards here.
class MainWindow : public QMainWindow, public ModelAssistant, public MainWindowIF {
    Q_OBJECT

public:
    // Over the MIDI service chosen by TULVAR_MIDI_BACKEND (or the best one available).
    MainWindow(QWidget* parent, TulvarMidiModel* model);
    // Over a service that outlives the window.
    MainWindow(QWidget* parent, TulvarMidiModel* model, MidiService& midiService);
    ~MainWindow() override;

    // The main window while it exists; the event filter and the application object use it.
    static MainWindow* m_pInstance;

    // Sends one whole message on output port 0 or 1, or on both for group 2, and records each
    // port that sent for the Out monitor. True when at least one port sent.
    bool transmitMidi(const unsigned char* data, unsigned short size, unsigned char eventType, OutputPortGroup group,
                      bool skipBulkWait, bool unused = false) override;

    // Port selection; portIndex InvalidPortIndex means "No Assign". False when an open failed.
    bool inputPortMenuSelected(InputPortGroup group, unsigned int portIndex)
    {
        return selectPort(PortSelection::Direction::Input, group, portIndex);
    }
    bool outputPortMenuSelected(OutputPortGroup group, unsigned int portIndex)
    {
        return selectPort(PortSelection::Direction::Output, group, portIndex);
    }
    bool closeInputPort(InputPortGroup group) { return m_ports->close(PortSelection::Direction::Input, group); }
    bool closeOutputPort(OutputPortGroup group) { return m_ports->close(PortSelection::Direction::Output, group); }
    void getInputPortList(InputPortGroup group, QStringList& names, unsigned int& currentIndex)
    {
        m_ports->getPortList(PortSelection::Direction::Input, group, names, currentIndex);
    }
    void getOutputPortList(OutputPortGroup group, QStringList& names, unsigned int& currentIndex)
    {
        m_ports->getPortList(PortSelection::Direction::Output, group, names, currentIndex);
    }
    unsigned int getCurrentInputPortIndex(InputPortGroup group)
    {
        return m_ports->currentIndex(PortSelection::Direction::Input, group);
    }
    unsigned int getCurrentOutputPortIndex(OutputPortGroup group)
    {
        return m_ports->currentIndex(PortSelection::Direction::Output, group);
    }

    bool transmitNoteOnByKeyDown(unsigned int character);
    bool transmitNoteOffByKeyUp(unsigned int character);
    void clearKeyboardAllNoteEvent() override;
    bool closeAboutDialog() { return m_subWindows->closeAboutDialog(); }

    void showErrorMessageBox(const QString& message) override;
    void showLimitViewDisplayMessageBox(const QString& viewName);
    QMessageBox::StandardButton showConfirmationMessageBox();

    // True when the work may go on: nothing unsaved, the user saved, or chose not to.
    bool confirmDiscardingChanges();
    void newFile();
    // Ends the program as File > Quit does but without asking to save: the unsaved project stays
    // unsaved and no project file is written. Dialogs and popups open at the time are closed
    // first. For the quit signals.
    void quitWithoutConfirmation();
    bool openFile(const QString& path);
    bool saveFile();
    bool saveAsFile();
    bool openProjectFile(const QString& path);
    bool saveProjectFile(const QString& path);
    // Set by the entry point when a project file is named on the command line: the first show
    // then does not restore the last layout.
    void setOpenedWithFile(bool openedWithFile);

    QList<QMdiSubWindow*> getSubWindowList() const { return m_subWindows->getSubWindowList(); }
    QMdiArea* getMdiArea() const { return m_pMdiArea; }
    MidiAnalyzer* getAnalyzer() { return m_analyzer ? &*m_analyzer : nullptr; }
    QString getIniFilePath() const;

    // MainWindowIF
    void addReceivingView(MidiEditView* view) override { m_monitorViews.addReceivingView(view); }
    void removeReceivingView(MidiEditView* view) override { m_monitorViews.removeReceivingView(view); }
    void addOutMonitorView(MidiEditView* view) override { m_monitorViews.addOutMonitorView(view); }
    void removeOutMonitorView(MidiEditView* view) override { m_monitorViews.removeOutMonitorView(view); }
    void openMessageEditor(bool receiving, const QSize& size, const QString& text) override;
    void getPortList(PortDirection direction, unsigned int group, QStringList& names,
                     unsigned int& currentIndex) override
    {
        m_ports->getPortList(direction, group, names, currentIndex);
    }
    bool closePort(PortDirection direction, unsigned int group) override { return m_ports->close(direction, group); }
    bool selectPort(PortDirection direction, unsigned int group, unsigned int portIndex) override;
    bool isOpeningProject() const override { return m_openingProject; }

    // Sub-window management.
    SubWindowManager& subWindows() { return *m_subWindows; }
    QMdiSubWindow* createMidiEditView(int kind, bool receiving, const QSize& size, const QString& text)
    {
        return m_subWindows->createMidiEditView(kind, receiving, size, text);
    }
    QMdiSubWindow* createSubWindowByWindowId(int id, bool stayOnTop, const QRect& rect, Qt::WindowStates state,
                                             const QList<QVariant>& extra)
    {
        return m_subWindows->createSubWindowByWindowId(id, stayOnTop, rect, state, extra);
    }
    QMdiSubWindow* createAboutView() { return m_subWindows->openSubWindow({AboutKind}); }
    QRect getNormalRect(QWidget* window) const { return m_subWindows->getNormalRect(window); }
    bool isNormalWindowState(QWidget* window) const { return SubWindowManager::isNormalWindowState(window); }
    QRect getMainWindowRestorationRect(const QRect& rect) const
    {
        return SubWindowManager::getMainWindowRestorationRect(rect);
    }
    void initializeSubWindows() { m_subWindows->initializeSubWindows(); }
    // Also switches the bulk waits off meanwhile and forgets what was sent.
    void closeAllSubWindows();
    void restoreWindowRegistory() { m_subWindows->restoreWindowRegistory(); }
    void storeWindowPosition() { m_subWindows->storeWindowPosition(); }

    // ModelAssistant: the edit flag shows in the title.
    void updateParameter(unsigned int id) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void fileMenuSelected(QAction* action);
    void inputPortMenuSelected(QAction* action) { portMenuSelected(PortSelection::Direction::Input, action); }
    void outputPortMenuSelected(QAction* action) { portMenuSelected(PortSelection::Direction::Output, action); }
    void viewsMenuSelected(QAction* action);
    void controlChangeMenuSelected(QAction* action);
    void windowMenuSelected(QAction* action);
    void helpMenuSelected(QAction* action);
    void createInputPortMenu() { m_menus->fillPortMenu(PortSelection::Direction::Input); }
    void createOutputPortMenu() { m_menus->fillPortMenu(PortSelection::Direction::Output); }

protected:
    // The file dialogs of the project flows: the chosen path, empty when cancelled. `name` is the
    // file name the save dialog proposes.
    virtual QString chooseProjectFileToOpen();
    virtual QString chooseProjectFileToSave(const QString& name);

    void timerEvent(QTimerEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    MainWindow(QWidget* parent, TulvarMidiModel* model, std::unique_ptr<MidiService> ownedService,
               MidiService* midiService);
    void portMenuSelected(PortSelection::Direction direction, QAction* action);
    void restoreRegistory();
    void restorePort(PortSelection::Direction direction, unsigned int group);
    void resetProject();
    // The project path, its folder (parameter 2), an unchanged edit flag and the title after a
    // successful open or save.
    void setProjectFile(const QString& path);
    void updateWindowTitle();
    void showNormalDefaultSize();

    TulvarMidiModel* m_pModel;
    SettingsStore m_settingsStore;
    std::unique_ptr<MidiService> m_ownedMidiService;
    QMdiArea* m_pMdiArea = nullptr;
    std::optional<KeyboardNoteEventManager> m_noteManager;
    std::optional<MidiAnalyzer> m_analyzer;
    std::optional<PortSelection> m_ports;
    std::optional<MidiBulkIntervalManager> m_bulkIntervalManager;
    int m_timerId = 0;

    MonitorViews m_monitorViews;

    std::optional<MainWindowMenus> m_menus;
    SubWindowManager* m_subWindows = nullptr;

    bool m_shownOnce = false;
    bool m_openedWithFile = false;
    bool m_openingProject = false;
    bool m_closed = false;
    bool m_quittingWithoutConfirmation = false;
};
