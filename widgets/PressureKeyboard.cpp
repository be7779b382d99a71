#include "widgets/PressureKeyboard.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

const int ValueBoxHeight = 15;
const int BlackKeyValueBoxShift = 6;
// Fine mode moves at half the plain rate of 128 steps per key height.
const double FineStepsPerPixelFactor = 0.0078125 * 0.5;

int roundHalfUp(double value)
{
    return int(std::floor(value + 0.5));
}

} // namespace

PressureKeyboard::PressureKeyboard(QWidget* parent, QSizeF const& whiteKeySize)
    : Keyboard(parent, whiteKeySize)
{
}

void PressureKeyboard::setKeyPressureCallbackFunc(KeyPressureCallbackFunc func, void* context)
{
    m_keyPressureCallback = func;
    m_keyPressureCallbackContext = context;
}

void PressureKeyboard::setChannelPressureCallbackFunc(ChannelPressureCallbackFunc func, void* context)
{
    m_channelPressureCallback = func;
    m_channelPressureCallbackContext = context;
}

bool PressureKeyboard::findPressureValueDisplayFromPosition(QPoint const& pos,
                                                            PressureValueDisplay& display) const
{
    bool isWhite = false;
    unsigned char const note = noteNumber(pos, isWhite);
    if (note == NoNote)
        return false;
    display.note = note;
    display.isWhite = isWhite;
    return true;
}

int PressureKeyboard::convertYPositionToValue(int y) const
{
    int const h = getWhiteKeyHeight();
    if (h <= 0)
        return 0;
    return checkValueRange(127 - roundHalfUp((h - y) * 128.0 / h));
}

int PressureKeyboard::checkValueRange(int value)
{
    return std::clamp(value, 0, 127);
}

QRect PressureKeyboard::getRectForPressureValueDrawing(QPoint const& pos) const
{
    int const y = height() / 2 < pos.y() ? 0 : height() - (ValueBoxHeight + 1);
    QRect keyRect;
    getKeyboardRect(m_valueDisplay.note, keyRect);
    int const x = keyRect.x() - (m_valueDisplay.isWhite ? 0 : BlackKeyValueBoxShift);
    return QRect(x, y, int(whiteKeySize().width()), ValueBoxHeight);
}

int PressureKeyboard::getYPositionForPressureValueDrawing(int value) const
{
    int const h = getWhiteKeyHeight();
    return std::clamp(roundHalfUp(value * h / 127.0), 0, h);
}

void PressureKeyboard::mousePressEvent(QMouseEvent* event)
{
    QPoint const pos = roundedPosition(event);
    if (event->button() == Qt::LeftButton && findPressureValueDisplayFromPosition(pos, m_valueDisplay)) {
        m_pressing = true;
        m_mousePosition = pos;
        m_fineMode = false;
        m_pressureValue = convertYPositionToValue(pos.y());
    }
    Keyboard::mousePressEvent(event);
}

void PressureKeyboard::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressing)
        return;
    m_mousePosition = roundedPosition(event);
    updateLatch(event->modifiers());
    if (isLatch() || m_pressureMode == PressureModeOff) {
        findPressureValueDisplayFromPosition(m_mousePosition, m_valueDisplay);
        Keyboard::mouseMoveEvent(event);
        return;
    }
    int const value = pressureValueForMove(m_mousePosition.y(), event->modifiers());
    if (value != m_pressureValue) {
        sendPressure(value);
        m_pressureValue = value;
    }
    update();
}

int PressureKeyboard::pressureValueForMove(int y, Qt::KeyboardModifiers modifiers)
{
    if (!(modifiers & Qt::ShiftModifier)) {
        m_fineMode = false;
        return convertYPositionToValue(y);
    }
    if (!m_fineMode) {
        // The first move with Shift anchors fine mode where it was seen.
        m_fineMode = true;
        m_fineAnchorY = y;
    }
    int const base = convertYPositionToValue(m_fineAnchorY);
    double const delta = (m_fineAnchorY - y) * getWhiteKeyHeight() * FineStepsPerPixelFactor;
    return checkValueRange(base - roundHalfUp(delta));
}

void PressureKeyboard::sendPressure(int value)
{
    auto const byte = static_cast<unsigned char>(value);
    if (m_pressureMode == PressureModeKey) {
        if (!m_keyPressureCallback)
            return;
        for (int note = 0; note < 128; ++note) {
            if (isNoteOn(static_cast<unsigned char>(note)))
                m_keyPressureCallback(m_keyPressureCallbackContext, static_cast<unsigned char>(note), byte);
        }
    } else if (m_pressureMode == PressureModeChannel) {
        // Channel pressure without a sounding note would be meaningless to the receiver.
        if (m_channelPressureCallback && !isAllNotOff())
            m_channelPressureCallback(m_channelPressureCallbackContext, byte);
    }
}

void PressureKeyboard::mouseReleaseEvent(QMouseEvent* event)
{
    Keyboard::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        m_pressing = false;
        m_pressureValue = NoPressureValue;
        update();
    }
}

void PressureKeyboard::wheelEvent(QWheelEvent* event)
{
    // The scroll area must not move the keys away from under a pressure drag.
    if (m_pressing) {
        event->accept();
        return;
    }
    Keyboard::wheelEvent(event);
}

void PressureKeyboard::paintEvent(QPaintEvent* event)
{
    Keyboard::paintEvent(event);
    if (isAllNotOff() || m_pressureMode == PressureModeOff || !m_pressing || isLatch()
        || m_pressureValue == NoPressureValue)
        return;
    QPainter painter(this);
    painter.setPen(Qt::blue);
    QRect const box = getRectForPressureValueDrawing(m_mousePosition);
    painter.setBrush(Qt::white);
    painter.drawRect(box);
    painter.drawText(box.translated(1, 0), Qt::AlignCenter, QString::number(m_pressureValue));
    int const y = getYPositionForPressureValueDrawing(m_pressureValue);
    painter.drawLine(0, y, width(), y);
}
