#include "app/SubWindowManager.h"

#include "app/EditFlagLock.h"
#include "app/MainWindow.h"
#include "app/MainWindowConstants.h"
#include "persistence/ControlChangeWindowRestorationInfo.h"
#include "persistence/SettingsStore.h"
#include "persistence/SysExFile.h"
#include "persistence/WindowRestorationInfo.h"
#include "model/TulvarMidiModel.h"
#include "support/CommonTexts.h"
#include "support/Utility.h"
#include "views/MidiEditGeneralView.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QUrl>

#include <algorithm>

namespace {

const QStringList ResizableObjectNameList{
    MidiEditViewSubWindowName,          KeyboardSubWindowName,        ControlChangeViewSubWindowName,
    PitchbendViewSubWindowName,         CustomMIDIMessageViewSubWindowName, TimingClockViewSubWindowName,
    ActivesenseViewSubWindowName,       MIDISettingsViewSubWindowName,
};

QString titleOf(const SubWindowKind& row)
{
    return Utility::removeMenuOfModifierCharacter(QObject::tr(row.menuText));
}

// A closed sub-window is deleted later; until then it is hidden and no longer counts.
bool isClosedSubWindow(const QPointer<QMdiSubWindow>& subWindow)
{
    return subWindow.isNull() || subWindow->isHidden();
}

void removeSystemMenuAction(QMenu* menu, const QString& text)
{
    if (menu == nullptr) {
        return;
    }
    for (QAction* action : menu->actions()) {
        if (action->text() == text) {
            menu->removeAction(action);
        }
    }
}

} // namespace

SubWindowManager::SubWindowManager(MainWindow& mainWindow, QMdiArea* mdiArea, TulvarMidiModel* model,
                                   SettingsStore& settingsStore)
    : QObject(&mainWindow),
      m_mainWindow(mainWindow),
      m_pMdiArea(mdiArea),
      m_pModel(model),
      m_settingsStore(settingsStore)
{
    for (const SubWindowKind& row : subWindowKindTable()) {
        if (row.creator) {
            m_creators.insert(row.kind, row.creator);
        }
    }
}

void SubWindowManager::setSubWindowCreator(int kind, SubWindowCreator creator)
{
    if (creator) {
        m_creators.insert(kind, std::move(creator));
    } else {
        m_creators.remove(kind);
    }
    emit creatorsChanged();
}

bool SubWindowManager::hasSubWindowCreator(int kind) const
{
    return m_creators.contains(kind);
}

int SubWindowManager::countOpenSubWindows(int kind)
{
    QList<QPointer<QMdiSubWindow>>& windows = m_multiSubWindows[kind];
    windows.erase(std::remove_if(windows.begin(), windows.end(), isClosedSubWindow), windows.end());
    return windows.size();
}

QMdiSubWindow* SubWindowManager::openSubWindow(SubWindowRequest request, const QSize& size)
{
    const SubWindowKind* row = findSubWindowKind(request.kind);
    if (row == nullptr || !hasSubWindowCreator(request.kind)) {
        return nullptr;
    }
    const QString title = titleOf(*row);
    if (row->limit == 1) {
        const QPointer<QMdiSubWindow> open = m_singleSubWindows.value(request.kind);
        if (!isClosedSubWindow(open)) {
            m_pMdiArea->setActiveSubWindow(open);
            return open;
        }
    } else if (countOpenSubWindows(request.kind) >= row->limit) {
        m_mainWindow.showLimitViewDisplayMessageBox(title);
        return nullptr;
    }

    request.model = m_pModel;
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
    subWindow->setObjectName(row->objectName);
    const bool fixedSize = isFixedSizeObject(subWindow);
    if (fixedSize) {
        removeMaximizeMenuForFixedSizeView(subWindow->systemMenu());
        subWindow->setWindowFlags(subWindow->windowFlags() & ~(Qt::WindowMaximizeButtonHint | Qt::CustomizeWindowHint));
    }
    subWindow->installEventFilter(&m_mainWindow);
    applySizeRule(subWindow, *row, size);
    if (fixedSize) {
        subWindow->setFixedSize(subWindow->size());
    }

    subWindow->setWindowTitle(title);
    if (!m_normalRectHash.contains(subWindow)) {
        registerNormalRectHash(subWindow);
    }
    subWindow->show();

    if (row->limit == 1) {
        m_singleSubWindows.insert(request.kind, subWindow);
    } else {
        m_multiSubWindows[request.kind].append(subWindow);
    }
    return subWindow;
}

void SubWindowManager::applySizeRule(QMdiSubWindow* subWindow, const SubWindowKind& row, const QSize& size)
{
    switch (row.sizeRule) {
    case SubWindowSizeRule::MessageView:
        if (size.width() > 0 && size.height() > 0) {
            subWindow->resize(adjustMidSubWindowSize(subWindow, size));
        } else {
            subWindow->resize(MidiEditViewDefaultSize);
        }
        break;
    case SubWindowSizeRule::Keyboard:
        subWindow->adjustSize();
        subWindow->setFixedHeight(subWindow->height());
        subWindow->setMinimumWidth(KeyboardSubWindowMinimumWidth);
        subWindow->setMaximumWidth(KeyboardSubWindowMaximumWidth);
        break;
    case SubWindowSizeRule::Given:
        subWindow->resize(row.size);
        break;
    case SubWindowSizeRule::MidiSettings: {
        const QSize initial = MIDISettingsDefaultSize + MIDISettingsHighResolutionOffset;
        subWindow->resize(initial);
        subWindow->setMinimumSize(initial.width() / 2 + MIDISettingsMinimumWidthOffset, MIDISettingsMinimumHeight);
        subWindow->setMaximumSize(initial);
        break;
    }
    case SubWindowSizeRule::Content:
        subWindow->adjustSize();
        break;
    }
}

QMdiSubWindow* SubWindowManager::createMidiEditView(int kind, bool receiving, const QSize& size, const QString& text)
{
    SubWindowRequest request{kind};
    request.receiving = receiving;
    request.text = text;
    return openSubWindow(request, size);
}

QMdiSubWindow* SubWindowManager::aboutWindow() const
{
    const QPointer<QMdiSubWindow> about = m_singleSubWindows.value(AboutKind);
    return isClosedSubWindow(about) ? nullptr : about.data();
}

bool SubWindowManager::closeAboutDialog()
{
    QMdiSubWindow* about = aboutWindow();
    if (about == nullptr) {
        return false;
    }
    m_singleSubWindows.remove(AboutKind);
    unregisterNormalRectHash(about);
    delete about;
    return true;
}

QMdiSubWindow* SubWindowManager::createSubWindowByWindowId(int id, bool stayOnTop, const QRect& rect,
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

void SubWindowManager::setWindowGeometry(QWidget* window, const QRect& rect)
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

QSize SubWindowManager::adjustMidSubWindowSize(QMdiSubWindow* subWindow, const QSize& size)
{
    subWindow->adjustSize();
    QWidget* widget = subWindow->widget();
    if (widget == nullptr) {
        return size;
    }
    widget->adjustSize();
    return size + (subWindow->size() - widget->size());
}

void SubWindowManager::registerNormalRectHash(QWidget* window)
{
    m_normalRectHash.insert(window, window->geometry());
}

void SubWindowManager::unregisterNormalRectHash(QWidget* window)
{
    m_normalRectHash.remove(window);
    m_notNormalWindows.remove(window);
}

void SubWindowManager::normalRectChanged(QWidget* window, const QSize& size)
{
    auto it = m_normalRectHash.find(window);
    if (it != m_normalRectHash.end() && followsNormalRect(window)) {
        it->setSize(size);
    }
}

void SubWindowManager::normalRectChanged(QWidget* window, const QPoint& position)
{
    auto it = m_normalRectHash.find(window);
    if (it != m_normalRectHash.end() && followsNormalRect(window)) {
        it->moveTopLeft(position);
    }
}

bool SubWindowManager::followsNormalRect(QWidget* window) const
{
    return isNormalWindowState(window) && !m_notNormalWindows.contains(window);
}

QRect SubWindowManager::getNormalRect(QWidget* window) const
{
    return m_normalRectHash.value(window, window != nullptr ? window->geometry() : QRect());
}

bool SubWindowManager::isNormalWindowState(QWidget* window)
{
    return (window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) == 0;
}

bool SubWindowManager::isFixedSizeObject(QObject* object)
{
    return object == nullptr || !ResizableObjectNameList.contains(object->objectName());
}

void SubWindowManager::removeStayOnTopAction(QMenu* menu)
{
    removeSystemMenuAction(menu, QMdiSubWindow::tr("Stay on &Top"));
}

void SubWindowManager::removeMaximizeMenuForFixedSizeView(QMenu* menu)
{
    removeSystemMenuAction(menu, QMdiSubWindow::tr("Ma&ximize"));
}

QRect SubWindowManager::getMainWindowRestorationRect(const QRect& stored)
{
    // Never larger than the desktop, whatever a hand-edited file or a larger desktop left.
    QRect rect = stored;
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        rect.setSize(rect.size().boundedTo(primary->availableVirtualGeometry().size()));
    }
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

void SubWindowManager::initializeSubWindows()
{
    m_mainWindow.closeAllSubWindows();
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

void SubWindowManager::closeAllSubWindows()
{
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
    m_notNormalWindows.clear();
}

QList<QMdiSubWindow*> SubWindowManager::getSubWindowList() const
{
    return m_pMdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
}

void SubWindowManager::storeWindowPosition()
{
    QList<WindowLayoutEntry> entries;
    WindowLayoutEntry main;
    main.windowId = WindowRestorationInfo::MainWindowId;
    main.rect = isNormalWindowState(&m_mainWindow) ? m_mainWindow.geometry() : m_mainWindow.normalGeometry();
    main.windowState = int(m_mainWindow.windowState());
    main.stayOnTop = m_mainWindow.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    entries.append(main);
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
    m_settingsStore.writeWindowLayout(entries);
}

void SubWindowManager::restoreWindowRegistory()
{
    EditFlagLock lock(m_pModel);
    const QList<WindowLayoutEntry> entries = m_settingsStore.readWindowLayout();
    if (entries.isEmpty()) {
        initializeSubWindows();
        return;
    }
    for (const WindowLayoutEntry& entry : entries) {
        const Qt::WindowStates state(entry.windowState);
        if (entry.windowId != WindowRestorationInfo::MainWindowId) {
            createSubWindowByWindowId(entry.windowId, entry.stayOnTop, entry.rect, state, entry.parameters);
            continue;
        }
        if (entry.rect.isValid()) {
            m_mainWindow.setGeometry(getMainWindowRestorationRect(entry.rect));
        }
        if (!(state & (Qt::WindowMinimized | Qt::WindowFullScreen))) {
            m_mainWindow.setWindowState(m_mainWindow.windowState() | state);
        }
    }
}

bool SubWindowManager::filterEvent(QObject* watched, QEvent* event)
{
    if (watched != nullptr && watched == aboutWindow()) {
        return false;
    }
    auto* subWindow = qobject_cast<QMdiSubWindow*>(watched);
    const bool onMdiArea = watched == m_pMdiArea || watched == m_pMdiArea->viewport();
    switch (event->type()) {
    case QEvent::WindowStateChange:
        if (subWindow != nullptr) {
            if (isNormalWindowState(subWindow)) {
                m_notNormalWindows.remove(subWindow);
            } else {
                m_notNormalWindows.insert(subWindow);
            }
        }
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
        return subWindow != nullptr || onMdiArea;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return onMdiArea && handleMdiAreaDragEvent(static_cast<QDropEvent*>(event));
    default:
        break;
    }
    return false;
}

// A message file (text or system exclusive) opens in a new message editor, a project file
// replaces the workspace.
bool SubWindowManager::handleMdiAreaDragEvent(QDropEvent* event)
{
    const QMimeData* mimeData = event->mimeData();
    const QList<QUrl> urls = mimeData != nullptr && mimeData->hasFormat("text/uri-list") ? mimeData->urls()
                                                                                          : QList<QUrl>();
    const QString path = urls.isEmpty() ? QString() : urls.first().toLocalFile();
    const QString suffix = QFileInfo(path).completeSuffix();
    const bool acceptable = QApplication::activeModalWidget() == nullptr
        && m_pModel->getModelIntValue(MidiEditTransmissionStateParameterId) != 1 && !path.isEmpty()
        && (suffix == TextFileSuffix || suffix == ProjectFileSuffix || SysExFile::isSysExFile(path));

    if (event->type() == QEvent::DragMove) {
        event->acceptProposedAction();
        return true;
    }
    if (!acceptable) {
        event->ignore();
        return true;
    }
    event->acceptProposedAction();
    if (event->type() == QEvent::DragEnter) {
        return true;
    }
    if (suffix != ProjectFileSuffix) {
        QString text;
        QString failure;
        if (!MidiEditGeneralView::readMessageFile(path, text, failure)) {
            m_mainWindow.showErrorMessageBox(failure);
            return true;
        }
        m_pModel->setModelStringValue(DumpFileWorkingDirectoryParameterId, QFileInfo(path).absolutePath());
        createMidiEditView(WindowRestorationInfo::MidiMessageEditorId, false, QSize(), text);
    } else if (m_mainWindow.confirmDiscardingChanges()) {
        m_mainWindow.openProjectFile(path);
    }
    return true;
}
