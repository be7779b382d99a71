#include "widgets/ToolButton.h"

#include <QPainter>

ToolButton::ToolButton(QWidget* parent)
    : QToolButton(parent)
{
}

void ToolButton::setPixmap(QPixmap const& pixmap)
{
    m_pixmap = pixmap;
    update();
}

void ToolButton::paintEvent(QPaintEvent* event)
{
    QToolButton::paintEvent(event);
    if (m_pixmap.isNull()) {
        return;
    }
    int const half = m_pixmap.width() / 2;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QPoint(0, 0), m_pixmap, QRect(isEnabled() ? 0 : half, 0, half, m_pixmap.height()));
}
