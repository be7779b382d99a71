#pragma once

// Mouse moves with buttons held and wheel turns, which QTest cannot send to a widget in Qt 5.

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

namespace WidgetEvents {

inline void mouseMove(QWidget* widget, QPoint const& pos, Qt::MouseButtons buttons = Qt::LeftButton,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, buttons,
                      modifiers);
    QApplication::sendEvent(widget, &event);
}

// Returns whether the widget accepted the wheel event.
inline bool wheel(QWidget* widget, QPoint const& pos, int angleDeltaY,
                  Qt::MouseButtons buttons = Qt::NoButton, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWheelEvent event(QPointF(pos), QPointF(widget->mapToGlobal(pos)), QPoint(), QPoint(0, angleDeltaY),
                      buttons, modifiers, Qt::NoScrollPhase, false);
    event.setAccepted(false);
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

} // namespace WidgetEvents
