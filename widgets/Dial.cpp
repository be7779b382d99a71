#include "widgets/Dial.h"

#include "support/LookConstants.h"
#include "widgets/LineEdit.h"

#include <QConicalGradient>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace {

// The arc covers the knob's 300 degrees of travel, leaving the gap at the bottom open.
const int ArcStartAngle = -60 * 16;
const int ArcSpanAngle = 300 * 16;
const qreal GradientAngle = 270.0;
// Ranges wider than this drag three values per pixel in linear mode.
const int LinearFineRangeLimit = 301;

int roundHalfAway(double value)
{
    return int(std::round(value));
}

} // namespace

Dial::Dial(QWidget* parent)
    : QDial(parent)
    , m_lineEditSize(LineEditSize)
{
}

Dial::~Dial()
{
    if (m_lineEdit)
        disconnect(m_lineEdit, &QLineEdit::editingFinished, this, &Dial::inputCompletion);
}

void Dial::setKnobMode(int mode)
{
    m_knobMode = mode;
}

void Dial::setValueSuffix(QString const& suffix)
{
    m_valueSuffix = suffix;
    update();
}

void Dial::setArcMargins(QMargins const& margins)
{
    m_arcMargins = margins;
    update();
}

void Dial::setArcColors(QColor const& start, QColor const& end)
{
    m_arcStartColor = start;
    m_arcEndColor = end;
    update();
}

bool Dial::isVisibleLineEdit() const
{
    return m_lineEdit && m_lineEdit->isVisible();
}

QPoint Dial::getCenterPos() const
{
    return QPoint(roundHalfAway(width() / 2.0), roundHalfAway(height() / 2.0));
}

int Dial::getKnobRadius() const
{
    return roundHalfAway(std::min(width(), height()) / 2.0);
}

QRect Dial::getRectangle() const
{
    QPoint const centre = getCenterPos();
    int const r = getKnobRadius();
    return QRect(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
}

QRect Dial::getDialRect() const
{
    // The face the style paints the knob on, inset from the knob square by a sixth of the radius.
    double const d = getKnobRadius();
    double const a = d / 6.0;
    double const b = 2.0 * d;
    int const left = int((width() - b) / 2.0 + a + 1.0);
    int const top = int((height() - b) / 2.0 + a + 1.0);
    int const side = int(b - 2.0 * a - 2.0);
    return QRect(left, top, side, side);
}

QRect Dial::getLineEditRect() const
{
    QPoint const centre = getCenterPos();
    return QRect(centre.x() - m_lineEditSize.width() / 2, centre.y() - m_lineEditSize.height() / 2,
                 m_lineEditSize.width(), m_lineEditSize.height());
}

QRect Dial::clickInvalidRect() const
{
    QRect const editor = getLineEditRect();
    QRect const face = getDialRect();
    if (editor.left() - face.left() >= m_deadZoneMargin)
        return editor;
    // A wide editor on a small knob: keep a margin of the face clickable at both sides.
    return QRect(face.left() + m_deadZoneMargin, editor.top(), face.width() - 2 * m_deadZoneMargin,
                 editor.height());
}

QRect Dial::getArcRect() const
{
    QRect const square = getRectangle();
    return QRect(square.left() - m_arcMargins.left(), square.top() - m_arcMargins.top(),
                 square.width() + m_arcMargins.left() + m_arcMargins.right(),
                 square.height() + m_arcMargins.top() + m_arcMargins.bottom());
}

double Dial::getLinearMagnification() const
{
    return maximum() - minimum() < LinearFineRangeLimit ? 1.0 : 3.0;
}

void Dial::updateParameter(unsigned int id)
{
    setValue(getCurrentValue());
    ModelConnection::updateParameter(id);
}

void Dial::mousePressEvent(QMouseEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        setValue(m_resetValue);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    QPoint const pos(roundHalfAway(event->localPos().x()), roundHalfAway(event->localPos().y()));
    // In circular mode a click on the number would jump the knob to that angle.
    if (m_knobMode != LinearKnobMode && clickInvalidRect().contains(pos))
        return;
    QPoint const centre = getCenterPos();
    double const dx = pos.x() - centre.x();
    double const dy = pos.y() - centre.y();
    if (roundHalfAway(std::sqrt(dx * dx + dy * dy)) > getKnobRadius())
        return;
    m_pressed = true;
    if (m_knobMode == LinearKnobMode) {
        m_pressX = pos.x();
        m_pressY = pos.y();
        m_valueAtPress = value();
    } else {
        QDial::mousePressEvent(event);
    }
}

void Dial::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed)
        return;
    if (m_knobMode != LinearKnobMode) {
        QDial::mouseMoveEvent(event);
        return;
    }
    int const delta = m_pressY - roundHalfAway(event->localPos().y());
    setValue(m_valueAtPress + roundHalfAway(delta * getLinearMagnification()));
}

void Dial::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_knobMode != LinearKnobMode && m_pressed)
        QDial::mouseReleaseEvent(event);
    m_pressed = false;
    m_pressX = 0;
    m_pressY = 0;
    m_valueAtPress = 0;
}

void Dial::mouseDoubleClickEvent(QMouseEvent* event)
{
    QRect const editorRect = getLineEditRect();
    if (!editorRect.contains(event->pos())) {
        QDial::mouseDoubleClickEvent(event);
        return;
    }
    m_lineEdit = LineEdit::openInPlace(m_lineEdit, this, value(), minimum(), maximum(), editorRect, Qt::AlignCenter);
    connect(m_lineEdit, &QLineEdit::editingFinished, this, &Dial::inputCompletion);
}

void Dial::inputCompletion()
{
    LineEdit::finishInPlace(m_lineEdit, this, [this](int entered) { setValue(entered); });
}

void Dial::wheelEvent(QWheelEvent* event)
{
    if (!isVisibleLineEdit())
        QAbstractSlider::wheelEvent(event);
    event->accept();
}

void Dial::keyPressEvent(QKeyEvent* event)
{
    if (isVisibleLineEdit()) {
        event->accept();
        return;
    }
    QAbstractSlider::keyPressEvent(event);
}

void Dial::paintEvent(QPaintEvent* event)
{
    {
        QConicalGradient gradient(getCenterPos(), GradientAngle);
        gradient.setColorAt(0.0, m_arcStartColor);
        gradient.setColorAt(1.0, m_arcEndColor);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::transparent);
        painter.setBrush(gradient);
        painter.drawPie(getArcRect(), ArcStartAngle, ArcSpanAngle);
    }
    QDial::paintEvent(event);
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.drawText(rect(), Qt::AlignCenter, QString::number(value()) + m_valueSuffix);
}
