#include "widgets/MidiPitchbendSlider.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

const int ThumbHeight = 30;
const int HalfThumbHeight = ThumbHeight / 2;
const qreal ThumbRadius = 10.0;
const int PageStep = 10;
const QColor ThumbGradientEndColor(195, 195, 195);

} // namespace

MidiPitchbendSlider::MidiPitchbendSlider(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);
    setAutoFillBackground(true);
}

void MidiPitchbendSlider::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    setValue(m_value);
}

void MidiPitchbendSlider::setWheelMode(WheelMode mode)
{
    m_wheelMode = mode;
    if (mode == SpringBack)
        setValue(m_restValue);
}

int MidiPitchbendSlider::trackLength() const
{
    // A widget shorter than the thumb still maps onto a one-pixel track rather than dividing by 0.
    return std::max(1, height() - ThumbHeight);
}

double MidiPitchbendSlider::scale() const
{
    return double(m_maximum - m_minimum) / trackLength();
}

int MidiPitchbendSlider::convertMousePointToValue(int y) const
{
    int const offset = int(std::round(scale() * (height() - HalfThumbHeight - y)));
    return std::clamp(m_minimum + offset, m_minimum, m_maximum);
}

int MidiPitchbendSlider::thumbTop() const
{
    double const s = scale();
    int const offset = s > 0.0 ? int(std::round((m_value - m_minimum) / s)) : 0;
    return height() - ThumbHeight - offset;
}

void MidiPitchbendSlider::setValue(int value)
{
    int const clamped = std::clamp(value, m_minimum, m_maximum);
    bool const changed = clamped != m_value;
    m_value = clamped;
    update();
    if (changed)
        emit valueChanged(m_value);
}

void MidiPitchbendSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier)
        setValue(m_restValue);
    else
        setValue(convertMousePointToValue(event->pos().y()));
}

void MidiPitchbendSlider::mouseMoveEvent(QMouseEvent* event)
{
    setValue(convertMousePointToValue(event->pos().y()));
}

void MidiPitchbendSlider::mouseReleaseEvent(QMouseEvent*)
{
    if (m_wheelMode == SpringBack)
        setValue(m_restValue);
}

void MidiPitchbendSlider::keyPressEvent(QKeyEvent* event)
{
    if (m_wheelMode != Hold) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Home:
        setValue(m_maximum);
        break;
    case Qt::Key_End:
        setValue(m_minimum);
        break;
    case Qt::Key_Up:
    case Qt::Key_Plus:
        setValue(m_value + 1);
        break;
    case Qt::Key_Down:
    case Qt::Key_Minus:
        setValue(m_value - 1);
        break;
    case Qt::Key_PageUp:
        setValue(m_value + PageStep);
        break;
    case Qt::Key_PageDown:
        setValue(m_value - PageStep);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void MidiPitchbendSlider::wheelEvent(QWheelEvent* event)
{
    // A wheel that bent the pitch by accident would be worse than one that does nothing.
    event->accept();
}

void MidiPitchbendSlider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    int const w = width();
    int const h = height();
    painter.setPen(Qt::gray);
    painter.drawLine(w / 2, HalfThumbHeight, w / 2, h - HalfThumbHeight);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, w - 1, h - 1);

    painter.setRenderHint(QPainter::Antialiasing);
    QRectF const thumb(1.5, thumbTop() + 0.5, w - 3.0, ThumbHeight - 1.0);
    QLinearGradient gradient(thumb.topLeft(), thumb.bottomLeft());
    gradient.setColorAt(0.0, Qt::white);
    gradient.setColorAt(1.0, ThumbGradientEndColor);
    painter.setBrush(gradient);
    painter.drawRoundedRect(thumb, ThumbRadius, ThumbRadius);
}
