#include "app/MainWindow.h"

#include "app/EditFlagLock.h"
#include "app/MainWindowConstants.h"
#include "app/MainWindowMenus.h"
#include "app/MainWindowProjectWindows.h"
#include "app/NativeEventFilter.h"
#include "support/CommonTexts.h"
#include "support/LookConstants.h"
#include "support/Utility.h"
#include "engine/KeyboardNoteEventManager.h"
#include "engine/MidiBulkIntervalManager.h"
#include "midi/MidiConstants.h"
#include "midi/MidiInputPort.h"
#include "midi/MidiOutputPort.h"
#include "midi/MidiServiceFactory.h"
#include "model/TulvarMidiModel.h"
#include "persistence/ProjectFileHelper.h"
#include "persistence/WindowRestorationInfo.h"
#include "views/MidiEditView.h"
#include "views/MidiTimingClockGeneratorView.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFileInfo>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QThread>
#include <QTimer>
#include <QTimerEvent>

MainWindow* MainWindow::m_pInstance = nullptr;

namespace {

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

    m_subWindows = new SubWindowManager(*this, m_pMdiArea, m_pModel, m_settingsStore);

    m_analyzer.emplace(m_pModel, this);
    m_ports.emplace(midiService != nullptr ? *midiService : *m_ownedMidiService);
    m_menus.emplace(*this, *m_subWindows, *m_ports);
    connect(m_subWindows, &SubWindowManager::creatorsChanged, this, [this] { m_menus->updateKindActions(); });
    createInputPortMenu();
    createOutputPortMenu();

    {
        EditFlagLock lock(m_pModel);
        restoreRegistory();
    }

    for (unsigned int group = 0; group < PortSelection::GroupCount; ++group) {
        m_ports->inputPort(group)->setReceivedMidiCallbackFunc(&MidiAnalyzer::callbackReceivedMidi, &*m_analyzer);
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
    m_ports.reset();
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

void MainWindow::showNormalDefaultSize()
{
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) {
        setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    }
    // The menu bar and the frames take their room inside the window on this platform: measure
    // them at the nominal size, then grow the window by them so that the workspace holds the
    // default layout without scroll bars.
    resize(MainWindowDefaultSize);
    layout()->activate();
    resize(DefaultWorkspaceSize + size() - m_pMdiArea->contentsRect().size());
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

void MainWindow::fileMenuSelected(QAction* action)
{
    closeAboutDialog();
    switch (action->data().toInt()) {
    case MainWindowMenus::NewAction:
        newFile();
        break;
    case MainWindowMenus::OpenAction:
        openFile(QString());
        break;
    case MainWindowMenus::SaveAction:
        saveFile();
        break;
    case MainWindowMenus::SaveAsAction:
        saveAsFile();
        break;
    case MainWindowMenus::PreferencesAction:
        m_subWindows->openSubWindow({PreferencesKind});
        break;
    case MainWindowMenus::QuitAction:
        close();
        break;
    default:
        break;
    }
}

void MainWindow::viewsMenuSelected(QAction* action)
{
    // The control change submenu reports its own entries.
    if (action->parent() == m_menus->controlChangeMenu() || !action->property("kind").isValid()) {
        return;
    }
    closeAboutDialog();
    m_subWindows->openSubWindow({action->property("kind").toInt()});
}

void MainWindow::controlChangeMenuSelected(QAction* action)
{
    closeAboutDialog();
    SubWindowRequest request{WindowRestorationInfo::ControlChangeId};
    request.controllerNumber = static_cast<unsigned char>(action->data().toInt());
    m_subWindows->openSubWindow(request);
}

void MainWindow::windowMenuSelected(QAction* action)
{
    closeAboutDialog();
    switch (action->data().toInt()) {
    case MainWindowMenus::CloseAllAction:
        if (confirmDiscardingChanges()) {
            closeAllSubWindows();
            resetProject();
        }
        break;
    case MainWindowMenus::CascadeAction: {
        UpdatesSuspended suspended(this);
        m_pMdiArea->cascadeSubWindows();
        break;
    }
    case MainWindowMenus::TileAction: {
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
    const int kind = action->property("kind").toInt();
    if (kind == AboutKind) {
        createAboutView();
    } else if (kind != 0) {
        m_subWindows->openSubWindow({kind});
    }
}

// ---------------------------------------------------------------------------------------------
// Ports

namespace {

// The parameters that keep the menu position of each port, by direction and group.
unsigned int portIndexParameterId(PortSelection::Direction direction, unsigned int group)
{
    static const unsigned int ids[2][PortSelection::GroupCount]{
        {InputPortIndexParameterId, InputPortIndexSecondParameterId},
        {OutputPortIndexParameterId, OutputPortIndexSecondParameterId}};
    return ids[int(direction)][group];
}

} // namespace

void MainWindow::portMenuSelected(PortSelection::Direction direction, QAction* action)
{
    closeAboutDialog();
    const unsigned int portIndex = action->data().toUInt();
    selectPort(direction, 0, portIndex);
    m_pModel->setModelIntValue(portIndexParameterId(direction, 0), portIndex == InvalidPortIndex ? 0 : int(portIndex + 1));
}

// The name written afterwards is "No Assign" when nothing is open (also after a failed open).
bool MainWindow::selectPort(PortSelection::Direction direction, unsigned int group, unsigned int portIndex)
{
    if (!PortSelection::hasGroup(group)) {
        return false;
    }
    m_ports->close(direction, group);
    bool opened = true;
    if (portIndex != InvalidPortIndex && !m_ports->open(direction, group, portIndex)) {
        opened = false;
        showErrorMessageBox(PortOpenFailedMessage);
    }
    m_settingsStore.writePortName(direction, group, m_ports->currentName(direction, group));
    return opened;
}

// Reopens a port by the name stored for it; a device that is gone leaves the port closed.
void MainWindow::restorePort(PortSelection::Direction direction, unsigned int group)
{
    const QString name = m_settingsStore.readPortName(direction, group);
    if (!name.isEmpty() && name != NoAssignPortName) {
        m_ports->open(direction, group, name);
    }
    const unsigned int index = m_ports->currentIndex(direction, group);
    if (index == 0) {
        m_ports->close(direction, group);
    }
    m_pModel->setModelIntValue(portIndexParameterId(direction, group), int(index));
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
        if (m_ports->outputPort(port)->transmitMidi(data, size, timeStamp) == 0) {
            sent = true;
            m_analyzer->setTransmittedMidiData(data, size, timeStamp, eventType, OutputPortGroup(port));
        }
    }
    if (!skipBulkWait) {
        m_bulkIntervalManager->waitBulkAfterTransmission(data, size);
    }
    return sent;
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
    m_monitorViews.deliverFrom(*m_analyzer);
    m_analyzer->updateTempo(std::uint64_t(ReceivedMidiDataTimer) * 1000);
    for (QMdiSubWindow* subWindow : getMdiArea()->subWindowList()) {
        if (auto* timingClock = qobject_cast<MidiTimingClockGeneratorView*>(subWindow->widget())) {
            timingClock->setReceivedTimingClock(m_analyzer->getReceivedTimingClock());
        }
    }
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
    // The unsaved mark stays until the workspace is really replaced: a cancelled dialog or a
    // refused file leaves the unsaved work as it was.
    QString chosen = path;
    if (chosen.isEmpty()) {
        clearKeyboardAllNoteEvent();
        chosen = chooseProjectFileToOpen();
        if (chosen.isEmpty()) {
            return false;
        }
    }
    return openProjectFile(chosen);
}

QString MainWindow::chooseProjectFileToOpen()
{
    const QString folder = m_pModel->getModelStringValue(ProjectFileWorkingDirectoryParameterId);
    return Utility::showFileOpenDialog(this, tr("Open"), folder + "/", ProjectFileFilterText,
                                       m_pModel->getModelDefaultStringValue(ProjectFileWorkingDirectoryParameterId));
}

QString MainWindow::chooseProjectFileToSave(const QString& name)
{
    const QString folder = m_pModel->getModelStringValue(ProjectFileWorkingDirectoryParameterId);
    return Utility::showFileSaveDialog(this, tr("Save"), folder + "/" + name, ProjectFileFilterText,
                                       m_pModel->getModelDefaultStringValue(ProjectFileWorkingDirectoryParameterId));
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
    const QString chosen = chooseProjectFileToSave(name);
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
// Sub-window management (SubWindowManager) and settings

void MainWindow::closeAllSubWindows()
{
    // Views stop their transmitter threads while closing; nothing may sit in a bulk pause then.
    if (m_bulkIntervalManager) {
        m_bulkIntervalManager->setEnabledBulkInterval(false);
    }
    m_subWindows->closeAllSubWindows();
    m_analyzer->clearTransmittedDataBuffer();
    if (m_bulkIntervalManager) {
        m_bulkIntervalManager->setEnabledBulkInterval(true);
    }
}

void MainWindow::restoreRegistory()
{
    m_settingsStore.restoreWorkingDirectories(*m_pModel);
    m_settingsStore.restoreMidiFilter(*m_pModel);
    m_settingsStore.restoreMidiThru(*m_pModel);
    for (PortSelection::Direction direction : {PortSelection::Direction::Input, PortSelection::Direction::Output}) {
        for (unsigned int group = 0; group < PortSelection::GroupCount; ++group) {
            restorePort(direction, group);
        }
    }
    m_settingsStore.restorePreferences(*m_pModel);
}

// Every event filter branch belongs to the sub-window management.
bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    return m_subWindows->filterEvent(watched, event) || QMainWindow::eventFilter(watched, event);
}
