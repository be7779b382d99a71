#include "widgets/SpinBox.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace {

bool isResetGesture(QEvent const* event)
{
    return event->type() == QEvent::MouseButtonPress
           && (static_cast<QMouseEvent const*>(event)->modifiers() & Qt::ControlModifier);
}

} // namespace

SpinBox::SpinBox(QWidget* parent)
    : QSpinBox(parent)
{
    setAttribute(Qt::WA_MacShowFocusRect, false);
    connect(this, &QSpinBox::editingFinished, this, &SpinBox::inputCompletion);
    lineEdit()->installEventFilter(this);
}

SpinBox::SpinBox(const ValueRange& range, QWidget* parent)
    : SpinBox(parent)
{
    setRange(range.minimum, range.maximum);
    setDefaultValue(range.defaultValue);
    setWidgetValue(range.defaultValue);
    setAlignment(Qt::AlignRight);
}

void SpinBox::updateParameter(unsigned int id)
{
    m_lastValue = getCurrentValue();
    setValue(m_lastValue);
    ModelConnection::updateParameter(id);
}

void SpinBox::modelChanged()
{
    MODEL_RESULT minimumResult = MODEL_RESULT_ERROR;
    MODEL_RESULT maximumResult = MODEL_RESULT_ERROR;
    int const minimum = getMinimumValue(&minimumResult);
    int const maximum = getMaximumValue(&maximumResult);
    // Disconnecting leaves the range as it was.
    if (minimumResult == MODEL_RESULT_OK && maximumResult == MODEL_RESULT_OK) {
        setRange(minimum, maximum);
    }
}

void SpinBox::stepBy(int steps)
{
    QSpinBox::stepBy(steps);
    if (value() != m_lastValue) {
        commitUserValue(value());
    }
}

void SpinBox::setWidgetValue(int value)
{
    // Stored as shown: a value from a damaged file must not linger behind the clamped display.
    m_lastValue = qBound(minimum(), value, maximum());
    setValue(m_lastValue);
}

void SpinBox::setDefaultValue(int value)
{
    m_fallbackDefault = value;
}

void SpinBox::inputCompletion()
{
    if (m_contextMenuOpen) {
        return;
    }
    bool ok = false;
    int const typed = cleanText().toInt(&ok, 10);
    if (!ok) {
        setValue(m_lastValue);
        return;
    }
    int const value = qBound(minimum(), typed, maximum());
    if (value != m_lastValue) {
        commitUserValue(value);
    }
}

void SpinBox::commitUserValue(int value)
{
    m_lastValue = value;
    setCurrentValue(value);
    emit widgetValueChanged(value);
}

void SpinBox::restoreDefaultValue()
{
    MODEL_RESULT result = MODEL_RESULT_ERROR;
    int defaultValue = getDefaultValue(&result);
    if (result != MODEL_RESULT_OK) {
        defaultValue = m_fallbackDefault;
    }
    if (defaultValue == m_lastValue) {
        return;
    }
    // An unbound spin box has no model to refuse the value: it returns to its fallback default.
    if (!isConnected() || setCurrentValue(defaultValue) == MODEL_RESULT_OK) {
        m_lastValue = defaultValue;
        setValue(defaultValue);
    }
    emit widgetValueChanged(defaultValue);
}

void SpinBox::contextMenuEvent(QContextMenuEvent* event)
{
    // The menu takes the focus, which finishes editing: that must not write.
    m_contextMenuOpen = true;
    QSpinBox::contextMenuEvent(event);
    m_contextMenuOpen = false;
}

void SpinBox::mousePressEvent(QMouseEvent* event)
{
    if (isResetGesture(event)) {
        restoreDefaultValue();
        event->accept();
        return;
    }
    QSpinBox::mousePressEvent(event);
}

bool SpinBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit() && isResetGesture(event)) {
        restoreDefaultValue();
        return true;
    }
    return QSpinBox::eventFilter(watched, event);
}
