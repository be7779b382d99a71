#pragma once

#include "app/SubWindowKindTable.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSet>
#include <QVariant>

class MainWindow;
class QDropEvent;
class QEvent;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class SettingsStore;
class TulvarMidiModel;

// The tool windows in the main window's MDI area: creation by kind through the kind table, the
// instance rules and limits, sizes and fixed sizes, the normal rectangle of every window, and the
// window layout kept in the settings file. The main window forwards to it.
class SubWindowManager : public QObject {
    Q_OBJECT

public:
    SubWindowManager(MainWindow& mainWindow, QMdiArea* mdiArea, TulvarMidiModel* model, SettingsStore& settingsStore);

    // Replaces the creator of a kind's row (an empty creator disables the kind).
    void setSubWindowCreator(int kind, SubWindowCreator creator);
    bool hasSubWindowCreator(int kind) const;

    // Opens a tool window of a kind under the instance rules: a single-instance kind that is
    // open is activated; a multi-instance kind at its limit shows the limit warning. `size`
    // (message views only) is the size of the view inside the frame.
    QMdiSubWindow* openSubWindow(SubWindowRequest request, const QSize& size = QSize());
    QMdiSubWindow* createMidiEditView(int kind, bool receiving, const QSize& size, const QString& text);
    QMdiSubWindow* createSubWindowByWindowId(int id, bool stayOnTop, const QRect& rect, Qt::WindowStates state,
                                             const QList<QVariant>& extra);
    QMdiSubWindow* aboutWindow() const;
    bool closeAboutDialog();

    void setWindowGeometry(QWidget* window, const QRect& rect);
    QSize adjustMidSubWindowSize(QMdiSubWindow* subWindow, const QSize& size);
    void registerNormalRectHash(QWidget* window);
    void unregisterNormalRectHash(QWidget* window);
    void normalRectChanged(QWidget* window, const QSize& size);
    void normalRectChanged(QWidget* window, const QPoint& position);
    QRect getNormalRect(QWidget* window) const;
    static bool isNormalWindowState(QWidget* window);
    static bool isFixedSizeObject(QObject* object);
    static void removeStayOnTopAction(QMenu* menu);
    static void removeMaximizeMenuForFixedSizeView(QMenu* menu);
    // A stored main-window rectangle made to fit: no larger than the desktop, and moved near the
    // primary screen's corner when too little of it would show on any screen.
    static QRect getMainWindowRestorationRect(const QRect& stored);

    // The default layout: the two monitors side by side and a message editor below.
    void initializeSubWindows();
    // Closes every tool window at once and forgets them all.
    void closeAllSubWindows();
    QList<QMdiSubWindow*> getSubWindowList() const;
    void restoreWindowRegistory();
    void storeWindowPosition();

    // The main window's event filter, installed on every sub-window and on the MDI area: keeps
    // the normal rectangles, never lets a maximised window maximise the fixed-size kinds or
    // keyboards, swallows wheel events, and takes dropped files. True when the event is consumed.
    bool filterEvent(QObject* watched, QEvent* event);

signals:
    // A creator was set or removed: menus enable what can be opened.
    void creatorsChanged();

private:
    // Moves and resizes change the normal rectangle only while the window is in a normal state.
    bool followsNormalRect(QWidget* window) const;
    int countOpenSubWindows(int kind);
    bool handleMdiAreaDragEvent(QDropEvent* event);
    void applySizeRule(QMdiSubWindow* subWindow, const SubWindowKind& row, const QSize& size);

    MainWindow& m_mainWindow;
    QMdiArea* m_pMdiArea;
    TulvarMidiModel* m_pModel;
    SettingsStore& m_settingsStore;
    QHash<int, SubWindowCreator> m_creators;
    // Single-instance kinds: the open window; multi-instance kinds: every window made, closed
    // ones becoming null and purged before counting.
    QHash<int, QPointer<QMdiSubWindow>> m_singleSubWindows;
    QHash<int, QList<QPointer<QMdiSubWindow>>> m_multiSubWindows;
    QHash<QWidget*, QRect> m_normalRectHash;
    // Sub-windows last seen maximised, minimised or full screen. Qt clears the maximised flag
    // while the area resizes a maximised window, so its state at that moment cannot be trusted.
    QSet<QWidget*> m_notNormalWindows;
};
