#include "app/MainWindow.h"

#include "app/MainWindowConstants.h"
#include "app/MainWindowProjectWindows.h"
#include "app/NativeEventFilter.h"
#include "app/support/CommonTexts.h"
#include "app/support/LookConstants.h"
#include "app/support/TimeFunctions.h"
#include "app/support/Utility.h"
#include "engine/KeyboardNoteEventManager.h"
#include "engine/MessageTables.h"
#include "engine/MidiBulkIntervalManager.h"
#include "midi/MidiClient.h"
#include "midi/MidiConstants.h"
#include "midi/MidiInputPort.h"
#include "midi/MidiOutputPort.h"
#include "midi/MidiService.h"
#include "midi/MidiServiceFactory.h"
#include "model/TulvarMidiModel.h"
#include "persistence/ControlChangeWindowRestorationInfo.h"
#include "persistence/ProjectFileHelper.h"
#include "persistence/WindowRestorationInfo.h"
#include "views/MidiEditView.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QTimerEvent>
#include <QUrl>

#include <algorithm>

MainWindow* MainWindow::m_pInstance = nullptr;

namespace {

enum class SizeRule { MessageView, Keyboard, Fixed, Given, MidiSettings, TextViewer };

struct SubWindowKindInfo {
    int kind;
    const char* menuText;
    const QString* objectName; // null: the sub-window keeps Qt's empty name
    int limit;                 // 1: a single instance that is activated when opened again
    SizeRule sizeRule;
    QSize size;
};

const SubWindowKindInfo SubWindowKindTable[] = {
    {WindowRestorationInfo::MidiInMonitorId, "MIDI &In Monitor", &MidiEditViewSubWindowName, 1, SizeRule::MessageView, {}},
    {WindowRestorationInfo::MidiOutMonitorId, "MIDI O&ut Monitor", &MidiEditViewSubWindowName, 1, SizeRule::MessageView, {}},
    {WindowRestorationInfo::MidiMessageEditorId, "&System Exclusive", &MidiEditViewSubWindowName, SubWindowCountLimit,
     SizeRule::MessageView, {}},
    {WindowRestorationInfo::KeyboardId, "&Keyboard", &KeyboardSubWindowName, SubWindowCountLimit, SizeRule::Keyboard, {}},
    {WindowRestorationInfo::ControlChangeId, "&Control Change", &ControlChangeViewSubWindowName,
     ControlChangeViewCountLimit, SizeRule::Given, {225, 250}},
    {WindowRestorationInfo::ProgramChangeId, "&Program Change", nullptr, SubWindowCountLimit, SizeRule::Fixed, {}},
    {WindowRestorationInfo::MidiSettingsId, "&MIDI Settings", &MIDISettingsViewSubWindowName, 1, SizeRule::MidiSettings, {}},
    {WindowRestorationInfo::FilterId, "&Filter", nullptr, 1, SizeRule::Fixed, {}},
    {WindowRestorationInfo::TimingClockId, "&Timing Clock", &TimingClockViewSubWindowName, 1, SizeRule::Given, {220, 250}},
    {WindowRestorationInfo::PitchBendId, "Pitch &Bend", &PitchbendViewSubWindowName, SubWindowCountLimit, SizeRule::Given,
     {220, 274}},
    {WindowRestorationInfo::ActiveSensingId, "&Active Sensing", &ActivesenseViewSubWindowName, 1, SizeRule::Given,
     {220, 250}},
    {WindowRestorationInfo::PCKeyboardId, "PC Keyboar&d", &PCKeyboardViewSubWindowName, 1, SizeRule::Fixed, {}},
    {WindowRestorationInfo::CustomMidiMessageId, "Cust&om MIDI Message", &CustomMIDIMessageViewSubWindowName,
     CustomMIDIMessageViewCountLimit, SizeRule::Given, {270, 274}},
    {WindowRestorationInfo::TransportPanelId, "Sta&rt/Stop", &TransportPanelViewSubWindowName, 1, SizeRule::Fixed, {}},
    {MainWindow::PreferencesKind, "&Preferences...", nullptr, 1, SizeRule::Fixed, {}},
    {MainWindow::AboutKind, "&About", nullptr, 1, SizeRule::Fixed, {}},
    {MainWindow::OpenSourceLicenseKind, "&Open Source License", nullptr, 1, SizeRule::TextViewer, {}},
    {MainWindow::EULAKind, "&Software User License Agreement", nullptr, 1, SizeRule::TextViewer, {}},
};

const SubWindowKindInfo* findKind(int kind)
{
    for (const SubWindowKindInfo& info : SubWindowKindTable) {
        if (info.kind == kind) {
            return &info;
        }
    }
    return nullptr;
}

// The Views menu in the order the user sees it; each action's data is its position (0-13).
// 0 marks the separator.
struct ViewsMenuEntry {
    int kind;
    const char* shortcut;
};
const ViewsMenuEntry ViewsMenuTable[] = {
    {WindowRestorationInfo::MidiInMonitorId, "Ctrl+I"},
    {WindowRestorationInfo::MidiOutMonitorId, "Ctrl+U"},
    {WindowRestorationInfo::KeyboardId, "Ctrl+K"},
    {WindowRestorationInfo::ControlChangeId, nullptr},
    {WindowRestorationInfo::ProgramChangeId, "Ctrl+P"},
    {WindowRestorationInfo::PitchBendId, "Ctrl+B"},
    {WindowRestorationInfo::MidiMessageEditorId, "Ctrl+E"},
    {WindowRestorationInfo::TimingClockId, "Ctrl+T"},
    {WindowRestorationInfo::TransportPanelId, "Ctrl+1"},
    {WindowRestorationInfo::ActiveSensingId, "Ctrl+J"},
    {WindowRestorationInfo::CustomMidiMessageId, "Ctrl+2"},
    {0, nullptr},
    {WindowRestorationInfo::FilterId, "Ctrl+L"},
    {WindowRestorationInfo::MidiSettingsId, "Ctrl+M"},
    {WindowRestorationInfo::PCKeyboardId, "Ctrl+D"},
};

enum FileMenuAction { NewAction, OpenAction, SaveAction, SaveAsAction, PreferencesAction, QuitAction };
enum WindowMenuAction { CloseAllAction, CascadeAction, TileAction };

const QStringList ResizableObjectNameList{
    MidiEditViewSubWindowName,          KeyboardSubWindowName,        ControlChangeViewSubWindowName,
    PitchbendViewSubWindowName,         CustomMIDIMessageViewSubWindowName, TimingClockViewSubWindowName,
    ActivesenseViewSubWindowName,       MIDISettingsViewSubWindowName,
};

QString titleOfKind(int kind)
{
    const SubWindowKindInfo* info = findKind(kind);
    return info != nullptr ? Utility::removeMenuOfModifierCharacter(QObject::tr(info->menuText)) : QString();
}

// Locks the edit flag for the lifetime of the guard, so bulk work does not dirty the project.
class EditFlagLock {
public:
    explicit EditFlagLock(TulvarMidiModel* model) : m_model(model) { m_model->lockParameterEditFlag(); }
    ~EditFlagLock() { m_model->unlockParameterEditFlag(); }
    EditFlagLock(const EditFlagLock&) = delete;
    EditFlagLock& operator=(const EditFlagLock&) = delete;

private:
    TulvarMidiModel* m_model;
};

// Suspends window updates for the lifetime of the guard.
class UpdatesSuspended {
public:
    explicit UpdatesSuspended(QWidget* widget) : m_widget(widget) { m_widget->setUpdatesEnabled(false); }
    ~UpdatesSuspended() { m_widget->setUpdatesEnabled(true); }
    UpdatesSuspended(const UpdatesSuspended&) = delete;
    UpdatesSuspended& operator=(const UpdatesSuspended&) = delete;

private:
    QWidget* m_widget;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction and destruction

MainWindow::MainWindow(QWidget* parent, TulvarMidiModel* model)
    : MainWindow(parent, model, MidiServiceFactory::create(QString()), nullptr)
{
}

MainWindow::MainWindow(QWidget* parent, TulvarMidiModel* model, MidiService& midiService)
    : MainWindow(parent, model, nullptr, &midiService)
{
}

MainWindow::MainWindow(QWidget* parent, TulvarMidiModel* model, std::unique_ptr<MidiService> ownedService,
                       MidiService* midiService)
    : QMainWindow(parent),
      m_pModel(model),
      m_settingsStore(SettingsStore::defaultIniFilePath()),
      m_ownedMidiService(std::move(ownedService))
{
    m_noteManager.emplace(m_pModel, this);
    m_noteManager->setTypingFocusQuery(&NativeEventFilter::isTyping);
    setWindowTitle(ApplicationName);

    QFont font = TulvarMidiFont.font();
    font.setPixelSize(TulvarMidiFontSize);
    QApplication::setFont(font);

    m_settingsStore.makeIniFileFolder();

    m_pMdiArea = new QMdiArea(this);
    m_pMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_pMdiArea);
    m_pMdiArea->setAcceptDrops(true);

    m_analyzer.emplace(m_pModel, this);
    m_pClient = new MidiClient(midiService != nullptr ? *midiService : *m_ownedMidiService);

    // One time base for all four ports, so their time stamps agree.
    const unsigned long long hostTimeAtStart = getHostTimeInMilliseconds();
    const unsigned int timeOfDayAtStart = getCurrentTimeInMilliseconds();
    for (unsigned int group = 0; group < 2; ++group) {
        m_inputPorts.append(new MidiInputPort(m_pClient, MaxMidiMessageLength, group, hostTimeAtStart, timeOfDayAtStart));
    }
    for (unsigned int group = 0; group < 2; ++group) {
        m_outputPorts.append(
            new MidiOutputPort(m_pClient, MaxMidiMessageLength, group, hostTimeAtStart, timeOfDayAtStart));
    }
    installViewCreators();
    createMenus();
    createInputPortMenu();
    createOutputPortMenu();

    {
        EditFlagLock lock(m_pModel);
        restoreRegistory();
    }

    for (MidiInputPort* port : qAsConst(m_inputPorts)) {
        port->setReceivedMidiCallbackFunc(&MidiAnalyzer::callbackReceivedMidi, &*m_analyzer);
    }
    showNormalDefaultSize();
    m_bulkIntervalManager.emplace(m_pModel);
    m_timerId = startTimer(ReceivedMidiDataTimer, Qt::CoarseTimer);
    m_pModel->registerModelAssistant(this);
    MainWindowIF::setInstance(this);
}

MainWindow::~MainWindow()
{
    m_noteManager.reset();
    if (m_timerId != 0) {
        killTimer(m_timerId);
        m_timerId = 0;
    }
    m_pModel->unregisterModelAssistant(this);
    m_settingsStore.storeParameters(*m_pModel);
    // Tool windows may still hold views that call back; close them before the ports go.
    m_pMdiArea->closeAllSubWindows();
    qDeleteAll(m_inputPorts);
    m_inputPorts.clear();
    qDeleteAll(m_outputPorts);
    m_outputPorts.clear();
    delete m_pClient;
    m_pClient = nullptr;
    // The delivery threads that call the analyzer are gone with the input ports.
    m_analyzer.reset();
    m_bulkIntervalManager.reset();
    if (m_pInstance == this) {
        m_pInstance = nullptr;
    }
    if (MainWindowIF::instance() == this) {
        MainWindowIF::setInstance(nullptr);
    }
}

// The tool views that are part of the program; the other kinds stay disabled in their menus.
void MainWindow::installViewCreators()
{
    const SubWindowCreator editViewCreator = [this](const SubWindowRequest& request) -> QWidget* {
        MidiEditView::OpenMode mode = MidiEditView::SystemExclusiveEdit;
        if (request.kind == WindowRestorationInfo::MidiInMonitorId) {
            mode = MidiEditView::InMonitor;
        } else if (request.kind == WindowRestorationInfo::MidiOutMonitorId) {
            mode = MidiEditView::OutMonitor;
        } else if (request.receiving) {
            mode = MidiEditView::SystemExclusiveReceive;
        }
        return new MidiEditView(nullptr, m_pModel, mode, request.text);
    };
    for (int kind : {WindowRestorationInfo::MidiInMonitorId, WindowRestorationInfo::MidiOutMonitorId,
                     WindowRestorationInfo::MidiMessageEditorId}) {
        m_creators.insert(kind, editViewCreator);
    }
}

void MainWindow::showNormalDefaultSize()
{
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) {
        setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    }
    resize(MainWindowDefaultSize);
}

QString MainWindow::getIniFilePath() const
{
    return m_settingsStore.getIniFilePath();
}

void MainWindow::setOpenedWithFile(bool openedWithFile)
{
    m_openedWithFile = openedWithFile;
}

// ---------------------------------------------------------------------------------------------
// Menus

void MainWindow::createMenus()
{
    QMenu* fileMenu = menuBar()->addMenu(tr("&File"));
    const struct {
        const char* text;
        QKeySequence shortcut;
        int action;
    } fileEntries[] = {
        {"&New", QKeySequence(tr("Ctrl+N")), NewAction},
        {"&Open...", QKeySequence(tr("Ctrl+O")), OpenAction},
        {"&Save", QKeySequence(tr("Ctrl+S")), SaveAction},
        {"Save &As...", QKeySequence(tr("Shift+Ctrl+S")), SaveAsAction},
        {nullptr, {}, -1},
        {"&Preferences...", QKeySequence(tr("Ctrl+,")), PreferencesAction},
        {nullptr, {}, -1},
        {"&Quit", QKeySequence(tr("Ctrl+Q")), QuitAction},
    };
    for (const auto& entry : fileEntries) {
        if (entry.text == nullptr) {
            fileMenu->addSeparator();
            continue;
        }
        QAction* action = fileMenu->addAction(tr(entry.text));
        action->setShortcut(entry.shortcut);
        action->setData(entry.action);
        if (entry.action == PreferencesAction) {
            m_pPreferencesAction = action;
        }
    }
    connect(fileMenu, &QMenu::triggered, this, &MainWindow::fileMenuSelected);

    m_pInputPortMenu = menuBar()->addMenu(tr("&InputPort"));
    connect(m_pInputPortMenu, &QMenu::aboutToShow, this, &MainWindow::createInputPortMenu);
    connect(m_pInputPortMenu, &QMenu::triggered, this,
            static_cast<void (MainWindow::*)(QAction*)>(&MainWindow::inputPortMenuSelected));
    m_pOutputPortMenu = menuBar()->addMenu(tr("&OutputPort"));
    connect(m_pOutputPortMenu, &QMenu::aboutToShow, this, &MainWindow::createOutputPortMenu);
    connect(m_pOutputPortMenu, &QMenu::triggered, this,
            static_cast<void (MainWindow::*)(QAction*)>(&MainWindow::outputPortMenuSelected));

    m_pViewsMenu = menuBar()->addMenu(tr("&Views"));
    int index = 0;
    for (const ViewsMenuEntry& entry : ViewsMenuTable) {
        if (entry.kind == 0) {
            m_pViewsMenu->addSeparator();
            continue;
        }
        const SubWindowKindInfo* info = findKind(entry.kind);
        QAction* action = nullptr;
        if (entry.kind == WindowRestorationInfo::ControlChangeId) {
            m_pControlChangeMenu = m_pViewsMenu->addMenu(tr(info->menuText));
            action = m_pControlChangeMenu->menuAction();
            for (int number = 0; number < 128; ++number) {
                m_pControlChangeMenu->addAction(QString::fromLatin1(ControlChangeNameList[number]))->setData(number);
            }
            connect(m_pControlChangeMenu, &QMenu::triggered, this, &MainWindow::controlChangeMenuSelected);
        } else {
            action = m_pViewsMenu->addAction(tr(info->menuText));
            action->setShortcut(QKeySequence(tr(entry.shortcut)));
        }
        action->setData(index++);
        action->setProperty("kind", entry.kind);
        m_viewsActions.append(action);
    }
    connect(m_pViewsMenu, &QMenu::triggered, this, &MainWindow::viewsMenuSelected);

    QMenu* windowMenu = menuBar()->addMenu(tr("&Window"));
    windowMenu->addAction(tr("Close &All"))->setData(CloseAllAction);
    windowMenu->addAction(tr("&Cascade"))->setData(CascadeAction);
    windowMenu->addAction(tr("&Tile"))->setData(TileAction);
    connect(windowMenu, &QMenu::triggered, this, &MainWindow::windowMenuSelected);

    QMenu* helpMenu = menuBar()->addMenu(tr("&Help"));
    for (int kind : {AboutKind, OpenSourceLicenseKind, EULAKind}) {
        QAction* action = helpMenu->addAction(tr(findKind(kind)->menuText));
        action->setData(kind);
        m_helpActionKinds.insert(action, kind);
    }
    connect(helpMenu, &QMenu::triggered, this, &MainWindow::helpMenuSelected);

    updateViewsMenu();
}

// Entries whose view is not part of the program are disabled rather than doing nothing.
void MainWindow::updateViewsMenu()
{
    for (QAction* action : qAsConst(m_viewsActions)) {
        action->setEnabled(hasSubWindowCreator(action->property("kind").toInt()));
    }
    for (auto it = m_helpActionKinds.cbegin(); it != m_helpActionKinds.cend(); ++it) {
        it.key()->setEnabled(hasSubWindowCreator(it.value()));
    }
    if (m_pPreferencesAction != nullptr) {
        m_pPreferencesAction->setEnabled(hasSubWindowCreator(PreferencesKind));
    }
}

void MainWindow::fileMenuSelected(QAction* action)
{
    closeAboutDialog();
    switch (action->data().toInt()) {
    case NewAction:
        newFile();
        break;
    case OpenAction:
        openFile(QString());
        break;
    case SaveAction:
        saveFile();
        break;
    case SaveAsAction:
        saveAsFile();
        break;
    case PreferencesAction:
        openSubWindow({PreferencesKind});
        break;
    case QuitAction:
        close();
        break;
    default:
        break;
    }
}

void MainWindow::viewsMenuSelected(QAction* action)
{
    // The control change submenu reports its own entries.
    if (action->parent() == m_pControlChangeMenu || !action->property("kind").isValid()) {
        return;
    }
    closeAboutDialog();
    openSubWindow({action->property("kind").toInt()});
}

void MainWindow::controlChangeMenuSelected(QAction* action)
{
    closeAboutDialog();
    SubWindowRequest request{WindowRestorationInfo::ControlChangeId};
    request.controllerNumber = static_cast<unsigned char>(action->data().toInt());
    openSubWindow(request);
}

void MainWindow::windowMenuSelected(QAction* action)
{
    closeAboutDialog();
    switch (action->data().toInt()) {
    case CloseAllAction:
        if (confirmDiscardingChanges()) {
            closeAllSubWindows();
            resetProject();
        }
        break;
    case CascadeAction: {
        UpdatesSuspended suspended(this);
        m_pMdiArea->cascadeSubWindows();
        break;
    }
    case TileAction: {
        UpdatesSuspended suspended(this);
        m_pMdiArea->tileSubWindows();
        break;
    }
    default:
        break;
    }
}

void MainWindow::helpMenuSelected(QAction* action)
{
    closeAboutDialog();
    const int kind = m_helpActionKinds.value(action, 0);
    if (kind == AboutKind) {
        createAboutView();
    } else if (kind != 0) {
        openSubWindow({kind});
    }
}

// ---------------------------------------------------------------------------------------------
// Ports

void MainWindow::createInputPortMenu()
{
    fillPortMenu(m_pInputPortMenu, false);
}

void MainWindow::createOutputPortMenu()
{
    fillPortMenu(m_pOutputPortMenu, true);
}

// Rebuilt every time it shows, so that plugged and unplugged devices appear; a port whose
// device has gone is closed.
void MainWindow::fillPortMenu(QMenu* menu, bool output)
{
    for (QAction* action : menu->actions()) {
        delete action->actionGroup();
    }
    menu->clear();
    auto* group = new QActionGroup(menu);
    group->setExclusive(true);

    QStringList names;
    unsigned int currentIndex = 0;
    if (output) {
        getOutputPortList(OutputPortGroupFirst, names, currentIndex);
    } else {
        getInputPortList(InputPortGroupFirst, names, currentIndex);
    }
    for (int position = 0; position < names.size(); ++position) {
        QAction* action = menu->addAction(names.at(position));
        action->setCheckable(true);
        action->setData(position == 0 ? QVariant(InvalidPortIndex) : QVariant(unsigned(position - 1)));
        group->addAction(action);
    }
    if (currentIndex == 0) {
        if (output) {
            closeOutputPort(OutputPortGroupFirst);
        } else {
            closeInputPort(InputPortGroupFirst);
        }
    }
    menu->actions().at(int(currentIndex))->setChecked(true);
}

void MainWindow::inputPortMenuSelected(QAction* action)
{
    closeAboutDialog();
    const unsigned int portIndex = action->data().toUInt();
    inputPortMenuSelected(InputPortGroupFirst, portIndex);
    m_pModel->setModelIntValue(InputPortIndexParameterId, portIndex == InvalidPortIndex ? 0 : int(portIndex + 1));
}

void MainWindow::outputPortMenuSelected(QAction* action)
{
    closeAboutDialog();
    const unsigned int portIndex = action->data().toUInt();
    outputPortMenuSelected(OutputPortGroupFirst, portIndex);
    m_pModel->setModelIntValue(OutputPortIndexParameterId, portIndex == InvalidPortIndex ? 0 : int(portIndex + 1));
}

bool MainWindow::inputPortMenuSelected(InputPortGroup group, unsigned int portIndex)
{
    if (group >= unsigned(m_inputPorts.size())) {
        return false;
    }
    closeInputPort(group);
    bool opened = true;
    if (portIndex != InvalidPortIndex && m_inputPorts.at(int(group))->openInputPort(portIndex) != 0) {
        opened = false;
        showErrorMessageBox(PortOpenFailedMessage);
    }
    writePortName(false, group);
    return opened;
}

bool MainWindow::outputPortMenuSelected(OutputPortGroup group, unsigned int portIndex)
{
    if (group >= unsigned(m_outputPorts.size())) {
        return false;
    }
    closeOutputPort(group);
    bool opened = true;
    if (portIndex != InvalidPortIndex && m_outputPorts.at(int(group))->openOutputPort(portIndex) != 0) {
        opened = false;
        showErrorMessageBox(PortOpenFailedMessage);
    }
    writePortName(true, group);
    return opened;
}

// The current name, which is "No Assign" when nothing is open (also after a failed open).
void MainWindow::writePortName(bool output, unsigned int group)
{
    QString name;
    if (output) {
        m_outputPorts.at(int(group))->getCurrentPortName(name);
    } else {
        m_inputPorts.at(int(group))->getCurrentPortName(name);
    }
    m_settingsStore.writePortName(output ? SettingsStore::PortDirection::Output : SettingsStore::PortDirection::Input,
                                  group, name);
}

bool MainWindow::closeInputPort(InputPortGroup group)
{
    return group < unsigned(m_inputPorts.size()) && m_inputPorts.at(int(group))->closeInputPort() == 0;
}

bool MainWindow::closeOutputPort(OutputPortGroup group)
{
    return group < unsigned(m_outputPorts.size()) && m_outputPorts.at(int(group))->closeOutputPort() == 0;
}

void MainWindow::getInputPortList(InputPortGroup group, QStringList& names, unsigned int& currentIndex)
{
    names = QStringList{NoAssignText};
    currentIndex = 0;
    if (group >= unsigned(m_inputPorts.size())) {
        return;
    }
    MidiInputPort* port = m_inputPorts.at(int(group));
    names.append(port->getInputPortNameList());
    QString current;
    port->getCurrentPortName(current);
    currentIndex = unsigned(qMax(0, names.indexOf(current)));
}

void MainWindow::getOutputPortList(OutputPortGroup group, QStringList& names, unsigned int& currentIndex)
{
    names = QStringList{NoAssignText};
    currentIndex = 0;
    if (group >= unsigned(m_outputPorts.size())) {
        return;
    }
    MidiOutputPort* port = m_outputPorts.at(int(group));
    names.append(port->getOutputPortNameList());
    QString current;
    port->getCurrentPortName(current);
    currentIndex = unsigned(qMax(0, names.indexOf(current)));
}

unsigned int MainWindow::getCurrentInputPortIndex(InputPortGroup group)
{
    QStringList names;
    unsigned int currentIndex = 0;
    getInputPortList(group, names, currentIndex);
    return currentIndex;
}

unsigned int MainWindow::getCurrentOutputPortIndex(OutputPortGroup group)
{
    QStringList names;
    unsigned int currentIndex = 0;
    getOutputPortList(group, names, currentIndex);
    return currentIndex;
}

// ---------------------------------------------------------------------------------------------
// Transmission and the monitors

bool MainWindow::transmitMidi(const unsigned char* data, unsigned short size, unsigned char eventType,
                              OutputPortGroup group, bool skipBulkWait, bool)
{
    if (!m_bulkIntervalManager || data == nullptr || size == 0 || group > OutputPortGroupBoth) {
        return false;
    }
    if (!skipBulkWait) {
        m_bulkIntervalManager->waitBulkBeforeTransmission(data, size);
    }
    bool sent = false;
    for (unsigned int port = OutputPortGroupFirst; port <= OutputPortGroupSecond; ++port) {
        if (group != OutputPortGroupBoth && group != port) {
            continue;
        }
        unsigned int timeStamp = 0;
        // Recorded after the port has finished: a port never calls the analyzer under its lock.
        if (m_outputPorts.at(int(port))->transmitMidi(data, size, timeStamp) == 0) {
            sent = true;
            m_analyzer->setTransmittedMidiData(data, size, timeStamp, eventType, OutputPortGroup(port));
        }
    }
    if (!skipBulkWait) {
        m_bulkIntervalManager->waitBulkAfterTransmission(data, size);
    }
    return sent;
}

void MainWindow::addReceivingView(MidiEditView* view)
{
    if (view != nullptr && !m_receivingViews.contains(view)) {
        m_receivingViews.append(view);
    }
}

void MainWindow::removeReceivingView(MidiEditView* view)
{
    m_receivingViews.removeAll(view);
}

void MainWindow::addOutMonitorView(MidiEditView* view)
{
    if (view != nullptr && !m_outMonitorViews.contains(view)) {
        m_outMonitorViews.append(view);
    }
}

void MainWindow::removeOutMonitorView(MidiEditView* view)
{
    m_outMonitorViews.removeAll(view);
}

// Texts are decoded up to their first NUL byte; views that register or leave while one of them
// is being fed are handled by walking copies of the lists.
void MainWindow::deliverMonitorText(const QByteArray& receivedText, std::uint32_t receivedCount,
                                    const QByteArray& systemExclusiveText, std::uint32_t systemExclusiveCount,
                                    const QByteArray& transmittedText)
{
    const QString transmitted = QString::fromUtf8(transmittedText.constData());
    if (!transmitted.isEmpty()) {
        const QList<MidiEditView*> outMonitors = m_outMonitorViews;
        for (MidiEditView* view : outMonitors) {
            view->setText(transmitted);
        }
    }
    const QString received = QString::fromUtf8(receivedText.constData());
    const QString systemExclusive = QString::fromUtf8(systemExclusiveText.constData());
    const QList<MidiEditView*> receivingViews = m_receivingViews;
    for (MidiEditView* view : receivingViews) {
        if (!m_receivingViews.contains(view)) {
            continue;
        }
        if (view->openMode() == MidiEditView::InMonitor) {
            if (receivedCount > 0) {
                view->receivedMessage(received, receivedCount);
            }
        } else if (systemExclusiveCount > 0) {
            view->receivedMessage(systemExclusive, systemExclusiveCount);
        }
    }
}

void MainWindow::openMessageEditor(bool receiving, const QSize& size, const QString& text)
{
    createMidiEditView(WindowRestorationInfo::MidiMessageEditorId, receiving, size, text);
}

void MainWindow::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timerId) {
        QMainWindow::timerEvent(event);
        return;
    }
    QByteArray receivedText;
    QByteArray systemExclusiveText;
    QByteArray transmittedText;
    std::uint32_t receivedCount = 0;
    std::uint32_t systemExclusiveCount = 0;
    std::uint32_t transmittedCount = 0;
    if (m_analyzer->getMidiData(receivedText, receivedCount, systemExclusiveText, systemExclusiveCount,
                                transmittedText, transmittedCount)) {
        deliverMonitorText(receivedText, receivedCount, systemExclusiveText, systemExclusiveCount, transmittedText);
    }
    m_analyzer->updateTempo(std::uint64_t(ReceivedMidiDataTimer) * 1000);
}

bool MainWindow::transmitNoteOnByKeyDown(unsigned int character)
{
    return m_noteManager && m_noteManager->trunsmitNoteOnByKeyDown(character);
}

bool MainWindow::transmitNoteOffByKeyUp(unsigned int character)
{
    return m_noteManager && m_noteManager->trunsmitNoteOffByKeyUp(character);
}

void MainWindow::clearKeyboardAllNoteEvent()
{
    if (m_noteManager) {
        m_noteManager->clearAllNoteEvent();
    }
}

// ---------------------------------------------------------------------------------------------
// Message boxes

void MainWindow::showErrorMessageBox(const QString& message)
{
    QMessageBox::critical(this, ApplicationName, message, QMessageBox::Ok);
}

void MainWindow::showLimitViewDisplayMessageBox(const QString& viewName)
{
    QMessageBox::warning(this, ApplicationName, tr(qPrintable(LimitViewDisplayMessage)).arg(viewName), QMessageBox::Ok);
}

QMessageBox::StandardButton MainWindow::showConfirmationMessageBox()
{
    QMessageBox box(QMessageBox::Question, ApplicationName, tr(qPrintable(ConfirmationMessage)),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Yes);
    box.button(QMessageBox::No)->setShortcut(QKeySequence(tr("Ctrl+D")));
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

// ---------------------------------------------------------------------------------------------
// Project files

bool MainWindow::confirmDiscardingChanges()
{
    if (m_pModel->getParameterEditFlag() != ParameterEditFlagChanged) {
        return true;
    }
    switch (showConfirmationMessageBox()) {
    case QMessageBox::Yes:
        return saveFile();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void MainWindow::resetProject()
{
    m_pModel->setProjectFilePath(QString());
    m_pModel->setModelIntValue(EditFlagParameterId, ParameterEditFlagUnchanged);
    setWindowTitle(ApplicationName);
}

void MainWindow::newFile()
{
    if (!confirmDiscardingChanges()) {
        return;
    }
    {
        EditFlagLock lock(m_pModel);
        UpdatesSuspended suspended(this);
        showNormalDefaultSize();
        initializeSubWindows();
    }
    resetProject();
}

bool MainWindow::openFile(const QString& path)
{
    if (!confirmDiscardingChanges()) {
        return false;
    }
    m_pModel->setModelIntValue(EditFlagParameterId, ParameterEditFlagUnchanged);
    QString chosen = path;
    if (chosen.isEmpty()) {
        clearKeyboardAllNoteEvent();
        const QString folder = m_pModel->getModelStringValue(ProjectFileWorkingDirectoryParameterId);
        chosen = Utility::showFileOpenDialog(this, tr("Open"), folder + "/", ProjectFileFilterText,
                                             m_pModel->getModelDefaultStringValue(ProjectFileWorkingDirectoryParameterId));
        if (chosen.isEmpty()) {
            return false;
        }
    }
    return openProjectFile(chosen);
}

bool MainWindow::saveFile()
{
    const QString path = m_pModel->getProjectFilePath();
    return path.isEmpty() ? saveAsFile() : saveProjectFile(path);
}

bool MainWindow::saveAsFile()
{
    clearKeyboardAllNoteEvent();
    const QString current = m_pModel->getProjectFilePath();
    const QString name = current.isEmpty() ? UntitledProjectFileName : QFileInfo(current).fileName();
    const QString folder = m_pModel->getModelStringValue(ProjectFileWorkingDirectoryParameterId);
    const QString chosen =
        Utility::showFileSaveDialog(this, tr("Save"), folder + "/" + name, ProjectFileFilterText,
                                    m_pModel->getModelDefaultStringValue(ProjectFileWorkingDirectoryParameterId));
    if (chosen.isEmpty()) {
        return false;
    }
    return saveProjectFile(chosen);
}

bool MainWindow::openProjectFile(const QString& path)
{
    MainWindowProjectWindows windows(*this);
    int result = ProjectFileHelper::ReadFailed;
    m_openingProject = true;
    {
        EditFlagLock lock(m_pModel);
        UpdatesSuspended suspended(this);
        result = ProjectFileHelper(windows).readFile(path);
    }
    m_openingProject = false;
    if (result != ProjectFileHelper::ReadSucceeded) {
        if (windows.workspaceReplaced()) {
            // What is open now is neither the previous project nor the file: a save must not
            // overwrite the previous project with it.
            m_pModel->setProjectFilePath(QString());
            m_pModel->setModelIntValue(EditFlagParameterId, ParameterEditFlagChanged);
            updateWindowTitle();
        }
        showErrorMessageBox(result == ProjectFileHelper::ReadVersionTooNew ? FileFormatVersionErrorMessage
                                                                           : FileOpenFailedMessage);
        return false;
    }
    setProjectFile(path);
    return true;
}

bool MainWindow::saveProjectFile(const QString& path)
{
    if (path.isEmpty()) {
        return false;
    }
    MainWindowProjectWindows windows(*this);
    if (ProjectFileHelper(windows).writeFile(path) != ProjectFileHelper::WriteSucceeded) {
        showErrorMessageBox(FileSaveFailedMessage);
        return false;
    }
    setProjectFile(path);
    return true;
}

void MainWindow::setProjectFile(const QString& path)
{
    const QFileInfo file(path);
    m_pModel->setProjectFilePath(file.absoluteFilePath());
    m_pModel->setModelStringValue(ProjectFileWorkingDirectoryParameterId, file.absolutePath());
    m_pModel->setModelIntValue(EditFlagParameterId, ParameterEditFlagUnchanged);
    updateWindowTitle();
}

void MainWindow::updateWindowTitle()
{
    QString title = ApplicationName;
    const QString path = m_pModel->getProjectFilePath();
    if (!path.isEmpty()) {
        title += " - " + QFileInfo(path).fileName();
    }
    if (m_pModel->getParameterEditFlag() == ParameterEditFlagChanged) {
        title += EditFlagCharacter;
    }
    setWindowTitle(title);
}

void MainWindow::updateParameter(unsigned int id)
{
    if (id == EditFlagParameterId) {
        updateWindowTitle();
    }
}

void MainWindow::quitWithoutConfirmation()
{
    // A dialog or popup runs its own event loop inside the flow that opened it: end it, and come
    // back once that flow has returned to the main loop.
    QWidget* blocking = QApplication::activeModalWidget();
    if (blocking == nullptr) {
        blocking = QApplication::activePopupWidget();
    }
    if (blocking != nullptr || QThread::currentThread()->loopLevel() > 1) {
        if (auto* dialog = qobject_cast<QDialog*>(blocking)) {
            dialog->reject();
        } else if (blocking != nullptr) {
            blocking->hide();
        }
        QTimer::singleShot(QuitRetryInterval, this, &MainWindow::quitWithoutConfirmation);
        return;
    }
    m_quittingWithoutConfirmation = true;
    close();
    QCoreApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!m_quittingWithoutConfirmation && m_pModel->getParameterEditFlag() == ParameterEditFlagChanged) {
        if (!confirmDiscardingChanges()) {
            event->ignore();
            return;
        }
        m_pModel->setModelIntValue(EditFlagParameterId, ParameterEditFlagUnchanged);
    }
    if (!m_closed) {
        storeWindowPosition();
        closeAllSubWindows();
    }
    event->accept();
    m_closed = true;
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce) {
        return;
    }
    m_shownOnce = true;
    if (!m_openedWithFile) {
        restoreWindowRegistory();
    }
    m_pMdiArea->installEventFilter(this);
    m_pMdiArea->viewport()->installEventFilter(this);
}

// ---------------------------------------------------------------------------------------------
// Sub-window management

void MainWindow::setSubWindowCreator(int kind, SubWindowCreator creator)
{
    if (creator) {
        m_creators.insert(kind, std::move(creator));
    } else {
        m_creators.remove(kind);
    }
    updateViewsMenu();
}

bool MainWindow::hasSubWindowCreator(int kind) const
{
    return m_creators.contains(kind);
}

// A closed sub-window is deleted later; until then it is hidden and no longer counts.
static bool isClosedSubWindow(const QPointer<QMdiSubWindow>& subWindow)
{
    return subWindow.isNull() || subWindow->isHidden();
}

int MainWindow::countOpenSubWindows(int kind)
{
    QList<QPointer<QMdiSubWindow>>& windows = m_multiSubWindows[kind];
    windows.erase(std::remove_if(windows.begin(), windows.end(), isClosedSubWindow), windows.end());
    return windows.size();
}

QMdiSubWindow* MainWindow::openSubWindow(const SubWindowRequest& request, const QSize& size)
{
    const SubWindowKindInfo* info = findKind(request.kind);
    if (info == nullptr || !hasSubWindowCreator(request.kind)) {
        return nullptr;
    }
    const QString title = titleOfKind(request.kind);
    if (info->limit == 1) {
        const QPointer<QMdiSubWindow> open = m_singleSubWindows.value(request.kind);
        if (!isClosedSubWindow(open)) {
            m_pMdiArea->setActiveSubWindow(open);
            return open;
        }
    } else if (countOpenSubWindows(request.kind) >= info->limit) {
        showLimitViewDisplayMessageBox(title);
        return nullptr;
    }

    QWidget* view = m_creators.value(request.kind)(request);
    if (view == nullptr) {
        return nullptr;
    }
    QMdiSubWindow* subWindow = m_pMdiArea->addSubWindow(view);
    subWindow->setAttribute(Qt::WA_DeleteOnClose);
    if (request.kind == AboutKind) {
        subWindow->setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    }

    removeStayOnTopAction(subWindow->systemMenu());
    if (info->objectName != nullptr) {
        subWindow->setObjectName(*info->objectName);
    }
    const bool fixedSize = isFixedSizeObject(subWindow);
    if (fixedSize) {
        removeMaximizeMenuForFixedSizeView(subWindow->systemMenu());
        subWindow->setWindowFlags(subWindow->windowFlags() & ~(Qt::WindowMaximizeButtonHint | Qt::CustomizeWindowHint));
    }
    subWindow->installEventFilter(this);

    switch (info->sizeRule) {
    case SizeRule::MessageView:
        if (size.width() > 0 && size.height() > 0) {
            subWindow->resize(adjustMidSubWindowSize(subWindow, size));
        } else {
            subWindow->resize(MidiEditViewDefaultSize);
        }
        break;
    case SizeRule::Keyboard:
        subWindow->adjustSize();
        subWindow->setFixedHeight(subWindow->height());
        subWindow->setMinimumWidth(KeyboardSubWindowMinimumWidth);
        subWindow->setMaximumWidth(KeyboardSubWindowMaximumWidth);
        break;
    case SizeRule::Given:
        subWindow->resize(info->size);
        break;
    case SizeRule::MidiSettings: {
        const QSize initial = MIDISettingsDefaultSize + MIDISettingsHighResolutionOffset;
        subWindow->resize(initial);
        subWindow->setMinimumSize(initial.width() / 2 + MIDISettingsMinimumWidthOffset, MIDISettingsMinimumHeight);
        subWindow->setMaximumSize(initial);
        break;
    }
    case SizeRule::Fixed:
    case SizeRule::TextViewer:
        subWindow->adjustSize();
        break;
    }
    if (fixedSize) {
        subWindow->setFixedSize(subWindow->size());
    }

    subWindow->setWindowTitle(title);
    if (!m_normalRectHash.contains(subWindow)) {
        registerNormalRectHash(subWindow);
    }
    subWindow->show();

    if (info->limit == 1) {
        m_singleSubWindows.insert(request.kind, subWindow);
    } else {
        m_multiSubWindows[request.kind].append(subWindow);
    }
    return subWindow;
}

QMdiSubWindow* MainWindow::createMidiEditView(int kind, bool receiving, const QSize& size, const QString& text)
{
    SubWindowRequest request{kind};
    request.receiving = receiving;
    request.text = text;
    return openSubWindow(request, size);
}

QMdiSubWindow* MainWindow::createAboutView()
{
    return openSubWindow({AboutKind});
}

bool MainWindow::closeAboutDialog()
{
    const QPointer<QMdiSubWindow> about = m_singleSubWindows.value(AboutKind);
    if (isClosedSubWindow(about)) {
        return false;
    }
    m_singleSubWindows.remove(AboutKind);
    unregisterNormalRectHash(about);
    delete about.data();
    return true;
}

QMdiSubWindow* MainWindow::createSubWindowByWindowId(int id, bool stayOnTop, const QRect& rect,
                                                     Qt::WindowStates state, const QList<QVariant>& extra)
{
    if (!WindowRestorationInfo::isToolWindowId(id)) {
        return nullptr;
    }
    SubWindowRequest request{id};
    if (id == WindowRestorationInfo::ControlChangeId
        && !ControlChangeWindowRestorationInfo::controllerNumberFromParameters(extra, request.controllerNumber)) {
        return nullptr;
    }
    QMdiSubWindow* subWindow = openSubWindow(request);
    if (subWindow == nullptr) {
        return nullptr;
    }
    setWindowGeometry(subWindow, rect);
    if (stayOnTop) {
        subWindow->setWindowFlags(subWindow->windowFlags() | Qt::WindowStaysOnTopHint);
        subWindow->show();
    }
    subWindow->setWindowState(subWindow->windowState() | state);
    return subWindow;
}

void MainWindow::setWindowGeometry(QWidget* window, const QRect& rect)
{
    if (window == nullptr || !rect.isValid()) {
        return;
    }
    if (window->size() == window->minimumSize() && window->size() == window->maximumSize()) {
        window->move(rect.topLeft());
    } else {
        window->setGeometry(rect);
    }
}

QSize MainWindow::adjustMidSubWindowSize(QMdiSubWindow* subWindow, const QSize& size)
{
    subWindow->adjustSize();
    QWidget* widget = subWindow->widget();
    if (widget == nullptr) {
        return size;
    }
    widget->adjustSize();
    return size + (subWindow->size() - widget->size());
}

void MainWindow::registerNormalRectHash(QWidget* window)
{
    m_normalRectHash.insert(window, window->geometry());
}

void MainWindow::unregisterNormalRectHash(QWidget* window)
{
    m_normalRectHash.remove(window);
}

void MainWindow::normalRectChanged(QWidget* window, const QSize& size)
{
    auto it = m_normalRectHash.find(window);
    if (it != m_normalRectHash.end() && isNormalWindowState(window)) {
        it->setSize(size);
    }
}

void MainWindow::normalRectChanged(QWidget* window, const QPoint& position)
{
    auto it = m_normalRectHash.find(window);
    if (it != m_normalRectHash.end() && isNormalWindowState(window)) {
        it->moveTopLeft(position);
    }
}

QRect MainWindow::getNormalRect(QWidget* window) const
{
    return m_normalRectHash.value(window, window != nullptr ? window->geometry() : QRect());
}

bool MainWindow::isNormalWindowState(QWidget* window) const
{
    return (window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) == 0;
}

bool MainWindow::isFixedSizeObject(QObject* object)
{
    return object == nullptr || !ResizableObjectNameList.contains(object->objectName());
}

void MainWindow::removeStayOnTopAction(QMenu* menu)
{
    if (menu == nullptr) {
        return;
    }
    for (QAction* action : menu->actions()) {
        if (action->text() == QMdiSubWindow::tr("Stay on &Top")) {
            menu->removeAction(action);
        }
    }
}

void MainWindow::removeMaximizeMenuForFixedSizeView(QMenu* menu)
{
    if (menu == nullptr) {
        return;
    }
    for (QAction* action : menu->actions()) {
        if (action->text() == QMdiSubWindow::tr("Ma&ximize")) {
            menu->removeAction(action);
        }
    }
}

QRect MainWindow::getMainWindowRestorationRect(const QRect& rect) const
{
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect visible = rect.intersected(screen->availableGeometry());
        if (visible.width() >= MainWindowVisibleMinimum && visible.height() >= MainWindowVisibleMinimum) {
            return rect;
        }
    }
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary == nullptr) {
        return rect;
    }
    QRect moved = rect;
    moved.moveTopLeft(primary->availableGeometry().topLeft()
                      + QPoint(MainWindowRestorationOffset, MainWindowRestorationOffset));
    return moved;
}

void MainWindow::initializeSubWindows()
{
    closeAllSubWindows();
    EditFlagLock lock(m_pModel);
    const QList<QPair<int, QPoint>> layout{{WindowRestorationInfo::MidiInMonitorId, {0, 0}},
                                           {WindowRestorationInfo::MidiOutMonitorId, {MidiEditViewDefaultSize.width(), 0}},
                                           {WindowRestorationInfo::MidiMessageEditorId, {0, MidiEditViewDefaultSize.height()}}};
    for (const auto& [kind, position] : layout) {
        if (QMdiSubWindow* subWindow = openSubWindow({kind})) {
            setWindowGeometry(subWindow, QRect(position, MidiEditViewDefaultSize));
        }
    }
}

void MainWindow::closeAllSubWindows()
{
    // Views stop their transmitter threads while closing; nothing may sit in a bulk pause then.
    if (m_bulkIntervalManager) {
        m_bulkIntervalManager->setEnabledBulkInterval(false);
    }
    EditFlagLock lock(m_pModel);
    for (QMdiSubWindow* subWindow : m_pMdiArea->subWindowList()) {
        QPointer<QMdiSubWindow> guarded(subWindow);
        subWindow->close();
        // Gone at once rather than later, so that a new layout can follow straight away; a view
        // that refused to close goes too.
        delete guarded.data();
    }
    m_singleSubWindows.clear();
    m_multiSubWindows.clear();
    m_normalRectHash.clear();
    m_analyzer->clearTransmittedDataBuffer();
    if (m_bulkIntervalManager) {
        m_bulkIntervalManager->setEnabledBulkInterval(true);
    }
}

QList<QMdiSubWindow*> MainWindow::getSubWindowList() const
{
    return m_pMdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
}

void MainWindow::writeMainWindowInfoToRegistry(QList<WindowLayoutEntry>& entries) const
{
    WindowLayoutEntry entry;
    entry.windowId = WindowRestorationInfo::MainWindowId;
    entry.rect = isNormalWindowState(const_cast<MainWindow*>(this)) ? geometry() : normalGeometry();
    entry.windowState = int(windowState());
    entry.stayOnTop = windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    entries.append(entry);
}

void MainWindow::writeSubWindowInfoToRegistry(QList<WindowLayoutEntry>& entries) const
{
    for (QMdiSubWindow* subWindow : getSubWindowList()) {
        const auto* info = dynamic_cast<WindowRestorationInfo*>(subWindow->widget());
        if (info == nullptr || !WindowRestorationInfo::isToolWindowId(info->getWindowId())) {
            continue;
        }
        WindowLayoutEntry entry;
        entry.windowId = info->getWindowId();
        entry.rect = getNormalRect(subWindow);
        entry.windowState = int(subWindow->windowState());
        entry.stayOnTop = subWindow->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        entry.parameters = info->getRestorationParameters();
        entries.append(entry);
    }
}

void MainWindow::storeWindowPosition()
{
    QList<WindowLayoutEntry> entries;
    writeMainWindowInfoToRegistry(entries);
    writeSubWindowInfoToRegistry(entries);
    m_settingsStore.writeWindowLayout(entries);
}

void MainWindow::restoreWindowRegistory()
{
    EditFlagLock lock(m_pModel);
    const QList<WindowLayoutEntry> entries = m_settingsStore.readWindowLayout();
    if (entries.isEmpty()) {
        initializeSubWindows();
        return;
    }
    for (const WindowLayoutEntry& entry : entries) {
        const Qt::WindowStates state(entry.windowState);
        if (entry.windowId == WindowRestorationInfo::MainWindowId) {
            if (entry.rect.isValid()) {
                // Never larger than the desktop, whatever a hand-edited file says.
                QRect rect = entry.rect;
                if (QScreen* primary = QGuiApplication::primaryScreen()) {
                    rect.setSize(rect.size().boundedTo(primary->availableVirtualGeometry().size()));
                }
                setGeometry(getMainWindowRestorationRect(rect));
            }
            if (!(state & (Qt::WindowMinimized | Qt::WindowFullScreen))) {
                setWindowState(windowState() | state);
            }
        } else {
            createSubWindowByWindowId(entry.windowId, entry.stayOnTop, entry.rect, state, entry.parameters);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Settings

void MainWindow::restoreRegistory()
{
    m_settingsStore.restoreWorkingDirectories(*m_pModel);
    m_settingsStore.restoreMidiFilter(*m_pModel);
    m_settingsStore.restoreMidiThru(*m_pModel);
    for (unsigned int group = 0; group < 2; ++group) {
        restorePort(false, group);
    }
    for (unsigned int group = 0; group < 2; ++group) {
        restorePort(true, group);
    }
    m_settingsStore.restorePreferences(*m_pModel);
}

// Reopens a port by the name stored for it; a device that is gone leaves the port closed.
void MainWindow::restorePort(bool output, unsigned int group)
{
    const QString name = m_settingsStore.readPortName(
        output ? SettingsStore::PortDirection::Output : SettingsStore::PortDirection::Input, group);
    unsigned int index = 0;
    if (output) {
        if (!name.isEmpty() && name != NoAssignText) {
            m_outputPorts.at(int(group))->openOutputPort(name);
        }
        index = getCurrentOutputPortIndex(OutputPortGroup(group));
        if (index == 0) {
            closeOutputPort(OutputPortGroup(group));
        }
        m_pModel->setModelIntValue(group == 0 ? OutputPortIndexParameterId : OutputPortIndexSecondParameterId, int(index));
    } else {
        if (!name.isEmpty() && name != NoAssignText) {
            m_inputPorts.at(int(group))->openInputPort(name);
        }
        index = getCurrentInputPortIndex(InputPortGroup(group));
        if (index == 0) {
            closeInputPort(InputPortGroup(group));
        }
        m_pModel->setModelIntValue(group == 0 ? InputPortIndexParameterId : InputPortIndexSecondParameterId, int(index));
    }
}

// ---------------------------------------------------------------------------------------------
// Event filter: normal rectangles, maximising rules, wheel events and drops

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    QMdiSubWindow* about = m_singleSubWindows.value(AboutKind);
    if (about != nullptr && watched == about) {
        return QMainWindow::eventFilter(watched, event);
    }
    const bool onMdiArea = watched == m_pMdiArea || watched == m_pMdiArea->viewport();
    auto* subWindow = qobject_cast<QMdiSubWindow*>(watched);

    switch (event->type()) {
    case QEvent::WindowStateChange:
        // Maximising one window never maximises the fixed-size kinds or keyboards.
        for (QMdiSubWindow* window : m_pMdiArea->subWindowList()) {
            if ((isFixedSizeObject(window) || window->objectName() == KeyboardSubWindowName)
                && window->windowState().testFlag(Qt::WindowMaximized)) {
                window->setWindowState(window->windowState() & ~Qt::WindowMaximized);
            }
        }
        break;
    case QEvent::Move:
        if (subWindow != nullptr) {
            normalRectChanged(subWindow, subWindow->pos());
        }
        break;
    case QEvent::Resize:
        if (subWindow != nullptr) {
            normalRectChanged(subWindow, subWindow->size());
        }
        break;
    case QEvent::Close:
        if (subWindow != nullptr) {
            unregisterNormalRectHash(subWindow);
        }
        break;
    case QEvent::Wheel:
        if (subWindow != nullptr || onMdiArea) {
            return true;
        }
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        if (onMdiArea) {
            return handleMdiAreaDragEvent(event);
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::handleMdiAreaDragEvent(QEvent* event)
{
    auto* dropEvent = static_cast<QDropEvent*>(event);
    const QMimeData* mimeData = dropEvent->mimeData();
    const QList<QUrl> urls = mimeData != nullptr && mimeData->hasFormat("text/uri-list") ? mimeData->urls()
                                                                                          : QList<QUrl>();
    const QString path = urls.isEmpty() ? QString() : urls.first().toLocalFile();
    const QString suffix = QFileInfo(path).completeSuffix();
    const bool acceptable = QApplication::activeModalWidget() == nullptr
        && m_pModel->getModelIntValue(MidiEditTransmissionStateParameterId) != 1 && !path.isEmpty()
        && (suffix == TextFileSuffix || suffix == ProjectFileSuffix);

    if (event->type() == QEvent::DragEnter) {
        if (acceptable) {
            dropEvent->acceptProposedAction();
        } else {
            dropEvent->ignore();
        }
        return true;
    }
    if (event->type() == QEvent::DragMove) {
        dropEvent->acceptProposedAction();
        return true;
    }
    if (!acceptable) {
        dropEvent->ignore();
        return true;
    }
    dropEvent->acceptProposedAction();
    if (suffix == TextFileSuffix) {
        QString text;
        if (!Utility::loadAtTextFileName(path, text)) {
            showErrorMessageBox(FileOpenFailedMessage);
            return true;
        }
        m_pModel->setModelStringValue(DumpFileWorkingDirectoryParameterId, QFileInfo(path).absolutePath());
        createMidiEditView(WindowRestorationInfo::MidiMessageEditorId, false, QSize(), text);
    } else if (confirmDiscardingChanges()) {
        openProjectFile(path);
    }
    return true;
}
