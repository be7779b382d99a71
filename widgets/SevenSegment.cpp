#include "widgets/SevenSegment.h"

#include "widgets/LineEdit.h"
#include "widgets/PushButton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

const int DigitCount = 3;
const double WheelStepAngle = 120.0;

PushButton* makeStepButton(QWidget* parent)
{
    auto* button = new PushButton(parent);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

SevenSegment::SevenSegment(QWidget* parent)
    : QWidget(parent)
    , m_increaseButton(makeStepButton(this))
    , m_decreaseButton(makeStepButton(this))
{
    // pressed(), not clicked(): auto-repeat sends pressed() again while the button is held.
    connect(m_increaseButton, &QAbstractButton::pressed, this, &SevenSegment::increase);
    connect(m_decreaseButton, &QAbstractButton::pressed, this, &SevenSegment::decrease);
    setFocusPolicy(Qt::StrongFocus);
}

SevenSegment::~SevenSegment()
{
    if (m_lineEdit)
        disconnect(m_lineEdit, &QLineEdit::editingFinished, this, &SevenSegment::inputCompletion);
}

void SevenSegment::setDigitPixmap(QPixmap const& strip)
{
    m_digitStrip = strip;
    update();
}

void SevenSegment::setIncreaseButtonPixmap(QPixmap const& pixmap)
{
    m_increaseButton->setPixmap(pixmap);
    m_increaseButton->update();
}

void SevenSegment::setDecreaseButtonPixmap(QPixmap const& pixmap)
{
    m_decreaseButton->setPixmap(pixmap);
    m_decreaseButton->update();
}

void SevenSegment::setIncreaseButtonGeometry(QRect const& rect)
{
    m_increaseButton->setGeometry(rect);
}

void SevenSegment::setDecreaseButtonGeometry(QRect const& rect)
{
    m_decreaseButton->setGeometry(rect);
}

int SevenSegment::adjustValue(int value) const
{
    return std::clamp(value, m_minimum, std::max(m_minimum, m_maximum));
}

void SevenSegment::setValue(int value)
{
    int const adjusted = adjustValue(value);
    if (adjusted == m_value)
        return;
    m_value = adjusted;
    update();
    emit valueChanged(m_value);
}

void SevenSegment::addStepToValue(int step)
{
    setValue(m_value + step);
}

void SevenSegment::increase()
{
    if (!isVisibleLineEdit())
        addStepToValue(1);
}

void SevenSegment::decrease()
{
    if (!isVisibleLineEdit())
        addStepToValue(-1);
}

bool SevenSegment::isVisibleLineEdit() const
{
    return m_lineEdit && m_lineEdit->isVisible();
}

int SevenSegment::digitCellX(int position) const
{
    int const drawingWidth = width() - m_increaseButton->width();
    return position * (drawingWidth / DigitCount);
}

void SevenSegment::paintEvent(QPaintEvent*)
{
    if (m_digitStrip.isNull())
        return;
    int const digitWidth = m_digitStrip.width() / 10;
    int const magnitude = std::abs(m_value);
    int const digits[DigitCount] = {(magnitude / 100) % 10, (magnitude % 100) / 10, magnitude % 10};
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int position = 0; position < DigitCount; ++position) {
        QRect const source(digits[position] * digitWidth, 0, digitWidth, m_digitStrip.height());
        painter.drawPixmap(QPoint(digitCellX(position), 0), m_digitStrip, source);
    }
}

void SevenSegment::mousePressEvent(QMouseEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier)
        setValue(adjustValue(m_resetValue));
}

void SevenSegment::mouseDoubleClickEvent(QMouseEvent*)
{
    m_lineEdit = LineEdit::openInPlace(m_lineEdit, this, m_value, m_minimum, m_maximum,
                                       QRect(0, 0, m_increaseButton->x(), height()),
                                       Qt::AlignRight | Qt::AlignVCenter);
    connect(m_lineEdit, &QLineEdit::editingFinished, this, &SevenSegment::inputCompletion);
}

void SevenSegment::inputCompletion()
{
    LineEdit::finishInPlace(m_lineEdit, this, [this](int entered) { setValue(entered); });
}

void SevenSegment::keyPressEvent(QKeyEvent* event)
{
    if (isVisibleLineEdit())
        return;
    switch (event->key()) {
    case Qt::Key_Up:
        addStepToValue(1);
        break;
    case Qt::Key_Down:
        addStepToValue(-1);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void SevenSegment::wheelEvent(QWheelEvent* event)
{
    event->accept();
    if (isVisibleLineEdit())
        return;
    int const delta = event->angleDelta().y();
    if (delta == 0)
        return;
    double const steps = delta / WheelStepAngle * QApplication::wheelScrollLines();
    // A turn the other way starts afresh instead of first cancelling the old fraction.
    if (m_wheelRemainder != 0.0 && (m_wheelRemainder > 0.0) != (delta > 0))
        m_wheelRemainder = 0.0;
    m_wheelRemainder += steps;
    double const whole = std::trunc(m_wheelRemainder);
    addStepToValue(int(whole));
    m_wheelRemainder -= whole;
}
