#pragma once

#include "engine/KeyboardNoteEventManager.h"
#include "engine/MidiAnalyzer.h"
#include "engine/MidiBulkIntervalManager.h"
#include "engine/MidiTransmitterIF.h"
#include "model/ModelAssistant.h"
#include "persistence/SettingsStore.h"
#include "views/MainWindowIF.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QRect>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class MidiClient;
class MidiInputPort;
class MidiOutputPort;
class MidiService;
class QAction;
class QActionGroup;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class TulvarMidiModel;

// The single top-level window: the MIDI ports, the MDI area that holds every tool window, the
// menus, the project-file flows and the port selection. Every message sent to MIDI goes through
// transmitMidi. Tool windows are made through a table from their kind to a creator, so a kind
// whose view does not exist yet is simply disabled in its menu.
class MainWindow : public QMainWindow, public ModelAssistant, public MainWindowIF {
    Q_OBJECT

public:
    // The kinds of tool windows: the window identifiers 1-14 and the four that are never restored.
    enum ExtraSubWindowKind { PreferencesKind = 100, AboutKind, OpenSourceLicenseKind, EULAKind };

    // What a creator needs to build a view.
    struct SubWindowRequest {
        SubWindowRequest(int windowKind = 0) : kind(windowKind) {}
        int kind;
        unsigned char controllerNumber = 0; // control change windows
        bool receiving = false;             // message editors opened to receive
        QString text;                       // initial text of a message editor
    };
    // Builds the view of one kind (a QWidget that is also a WindowRestorationInfo for kinds 1-14),
    // or returns null when it cannot.
    using SubWindowCreator = std::function<QWidget*(const SubWindowRequest&)>;

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
    bool inputPortMenuSelected(InputPortGroup group, unsigned int portIndex);
    bool outputPortMenuSelected(OutputPortGroup group, unsigned int portIndex);
    bool closeInputPort(InputPortGroup group);
    bool closeOutputPort(OutputPortGroup group);
    // "No Assign" followed by the port layer's names; currentIndex is the position of the port's
    // current name in that list (0 when not found).
    void getInputPortList(InputPortGroup group, QStringList& names, unsigned int& currentIndex);
    void getOutputPortList(OutputPortGroup group, QStringList& names, unsigned int& currentIndex);
    unsigned int getCurrentInputPortIndex(InputPortGroup group);
    unsigned int getCurrentOutputPortIndex(OutputPortGroup group);

    bool transmitNoteOnByKeyDown(unsigned int character);
    bool transmitNoteOffByKeyUp(unsigned int character);
    void clearKeyboardAllNoteEvent() override;
    bool closeAboutDialog();

    void showErrorMessageBox(const QString& message) override;
    void showLimitViewDisplayMessageBox(const QString& viewName);
    QMessageBox::StandardButton showConfirmationMessageBox();

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

    QList<QMdiSubWindow*> getSubWindowList() const;
    QMdiArea* getMdiArea() const { return m_pMdiArea; }
    MidiAnalyzer* getAnalyzer() { return m_analyzer ? &*m_analyzer : nullptr; }
    QString getIniFilePath() const;

    // MainWindowIF
    void addReceivingView(MidiEditView* view) override;
    void removeReceivingView(MidiEditView* view) override;
    void addOutMonitorView(MidiEditView* view) override;
    void removeOutMonitorView(MidiEditView* view) override;
    void openMessageEditor(bool receiving, const QSize& size, const QString& text) override;

    // Sub-window management.
    void setSubWindowCreator(int kind, SubWindowCreator creator);
    bool hasSubWindowCreator(int kind) const;
    // Opens a tool window of a kind under the instance rules: a single-instance kind that is
    // open is activated; a multi-instance kind at its limit shows the limit warning. `size`
    // (message views only) is the size of the view inside the frame.
    QMdiSubWindow* openSubWindow(const SubWindowRequest& request, const QSize& size = QSize());
    QMdiSubWindow* createMidiEditView(int kind, bool receiving, const QSize& size, const QString& text);
    QMdiSubWindow* createSubWindowByWindowId(int id, bool stayOnTop, const QRect& rect, Qt::WindowStates state,
                                             const QList<QVariant>& extra);
    QMdiSubWindow* createAboutView();
    void setWindowGeometry(QWidget* window, const QRect& rect);
    QSize adjustMidSubWindowSize(QMdiSubWindow* subWindow, const QSize& size);
    void registerNormalRectHash(QWidget* window);
    void unregisterNormalRectHash(QWidget* window);
    void normalRectChanged(QWidget* window, const QSize& size);
    void normalRectChanged(QWidget* window, const QPoint& position);
    QRect getNormalRect(QWidget* window) const;
    bool isNormalWindowState(QWidget* window) const;
    static bool isFixedSizeObject(QObject* object);
    static void removeStayOnTopAction(QMenu* menu);
    static void removeMaximizeMenuForFixedSizeView(QMenu* menu);
    QRect getMainWindowRestorationRect(const QRect& rect) const;
    void initializeSubWindows();
    void closeAllSubWindows();
    void restoreWindowRegistory();
    void storeWindowPosition();

    // ModelAssistant: the edit flag shows in the title.
    void updateParameter(unsigned int id) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void fileMenuSelected(QAction* action);
    void inputPortMenuSelected(QAction* action);
    void outputPortMenuSelected(QAction* action);
    void viewsMenuSelected(QAction* action);
    void controlChangeMenuSelected(QAction* action);
    void windowMenuSelected(QAction* action);
    void helpMenuSelected(QAction* action);
    void createInputPortMenu();
    void createOutputPortMenu();

protected:
    void timerEvent(QTimerEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    MainWindow(QWidget* parent, TulvarMidiModel* model, std::unique_ptr<MidiService> ownedService,
               MidiService* midiService);
    void installViewCreators();
    void createMenus();
    void updateViewsMenu();
    void fillPortMenu(QMenu* menu, bool output);
    void restoreRegistory();
    void restorePort(bool output, unsigned int group);
    void writePortName(bool output, unsigned int group);
    void writeMainWindowInfoToRegistry(QList<WindowLayoutEntry>& entries) const;
    void writeSubWindowInfoToRegistry(QList<WindowLayoutEntry>& entries) const;
    // True when the work may go on: nothing unsaved, the user saved, or chose not to.
    bool confirmDiscardingChanges();
    void resetProject();
    // The project path, its folder (parameter 2), an unchanged edit flag and the title after a
    // successful open or save.
    void setProjectFile(const QString& path);
    void updateWindowTitle();
    void showNormalDefaultSize();
    bool handleMdiAreaDragEvent(QEvent* event);
    int countOpenSubWindows(int kind);
    void deliverMonitorText(const QByteArray& receivedText, std::uint32_t receivedCount,
                            const QByteArray& systemExclusiveText, std::uint32_t systemExclusiveCount,
                            const QByteArray& transmittedText);

    TulvarMidiModel* m_pModel;
    SettingsStore m_settingsStore;
    std::unique_ptr<MidiService> m_ownedMidiService;
    QMdiArea* m_pMdiArea = nullptr;
    std::optional<KeyboardNoteEventManager> m_noteManager;
    std::optional<MidiAnalyzer> m_analyzer;
    MidiClient* m_pClient = nullptr;
    QList<MidiInputPort*> m_inputPorts;
    QList<MidiOutputPort*> m_outputPorts;
    std::optional<MidiBulkIntervalManager> m_bulkIntervalManager;
    int m_timerId = 0;

    QList<MidiEditView*> m_receivingViews;
    QList<MidiEditView*> m_outMonitorViews;

    QMenu* m_pInputPortMenu = nullptr;
    QMenu* m_pOutputPortMenu = nullptr;
    QMenu* m_pViewsMenu = nullptr;
    QMenu* m_pControlChangeMenu = nullptr;
    QList<QAction*> m_viewsActions;
    QHash<QAction*, int> m_helpActionKinds;
    QAction* m_pPreferencesAction = nullptr;

    QHash<int, SubWindowCreator> m_creators;
    // Single-instance kinds: the open window; multi-instance kinds: every window made, closed
    // ones becoming null and purged before counting.
    QHash<int, QPointer<QMdiSubWindow>> m_singleSubWindows;
    QHash<int, QList<QPointer<QMdiSubWindow>>> m_multiSubWindows;
    QHash<QWidget*, QRect> m_normalRectHash;

    bool m_shownOnce = false;
    bool m_openedWithFile = false;
    bool m_openingProject = false;
    bool m_closed = false;
    bool m_quittingWithoutConfirmation = false;
};
