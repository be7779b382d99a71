#include "widgets/PushButton.h"

#include <QPainter>
#include <QtMath>

PushButton::PushButton(QWidget* parent)
    : PushButton(QString(), parent)
{
}

PushButton::PushButton(QString const& text, QWidget* parent)
    : QPushButton(text, parent)
{
    setAttribute(Qt::WA_MacShowFocusRect, false);
    connect(this, &QPushButton::clicked, this, &PushButton::updateButton);
}

void PushButton::updateParameter(unsigned int id)
{
    setChecked(getCurrentValue() != 0);
    ModelConnection::updateParameter(id);
}

void PushButton::updateButton(bool checked)
{
    if (isConnected()) {
        setCurrentValue(static_cast<int>(checked) & 0xFF);
    }
}

void PushButton::setPaintCallback(PaintCallback callback)
{
    m_paintCallback = std::move(callback);
    update();
}

void PushButton::setPixmap(QPixmap const& pixmap)
{
    m_pixmap = pixmap;
    update();
}

void PushButton::setImagePosition(int x, int y)
{
    m_imagePosition = QPoint(x, y);
    update();
}

void PushButton::setCenterOnShow(bool center)
{
    m_centerOnShow = center;
}

void PushButton::paintEvent(QPaintEvent* event)
{
    if (m_paintCallback) {
        QPainter painter(this);
        m_paintCallback(*this, painter);
        return;
    }
    if (m_pixmap.isNull()) {
        QPushButton::paintEvent(event);
        return;
    }
    bool const on = isCheckable() ? isChecked() : isDown();
    int const half = m_pixmap.width() / 2;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(m_imagePosition, m_pixmap, QRect(on ? half : 0, 0, half, m_pixmap.height()));
}

void PushButton::showEvent(QShowEvent* event)
{
    if (m_centerOnShow && !m_pixmap.isNull()) {
        // The strip is double resolution: one logical half is a quarter of its pixel width.
        int const x = qRound((width() - qRound(m_pixmap.width() * 0.25)) * 0.5);
        int const y = qRound((height() - qRound(m_pixmap.height() * 0.5)) * 0.5) - 1;
        m_imagePosition = QPoint(x, y);
    }
    QPushButton::showEvent(event);
}
