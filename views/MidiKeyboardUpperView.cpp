#include "views/MidiKeyboardUpperView.h"

#include "app/support/ValueRange.h"
#include "views/ViewConstants.h"
#include "widgets/SpinBox.h"

#include <QComboBox>
#include <QLabel>

namespace {

SpinBox* makeSpinBox(QWidget* parent, const ValueRange& range, const QRect& geometry)
{
    auto* spinBox = new SpinBox(parent);
    spinBox->setGeometry(geometry);
    spinBox->setRange(range.minimum, range.maximum);
    spinBox->setDefaultValue(range.defaultValue);
    spinBox->setWidgetValue(range.defaultValue);
    spinBox->setAlignment(Qt::AlignRight);
    return spinBox;
}

} // namespace

MidiKeyboardUpperView::MidiKeyboardUpperView(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);

    (new QLabel(tr(KeyboardChannelText), this))->setGeometry(15, 10, 50, 23);
    m_channel = makeSpinBox(this, ChannelDisplayValue, QRect(75, 10, 70, 23));
    (new QLabel(tr(KeyboardVelocityText), this))->setGeometry(155, 10, 50, 23);
    m_velocity = makeSpinBox(this, VelocityValue, QRect(210, 10, 70, 23));
    (new QLabel(tr(KeyboardPressureText), this))->setGeometry(290, 10, 50, 23);
    m_pressure = new QComboBox(this);
    m_pressure->setGeometry(350, 10, 80, 23);
    m_pressure->setAttribute(Qt::WA_MacShowFocusRect, false);
    for (const char* name : KeyboardPressureNameList) {
        m_pressure->addItem(tr(name));
    }
    m_pressure->setCurrentIndex(0);
}

unsigned char MidiKeyboardUpperView::getChannel() const
{
    return static_cast<unsigned char>(m_channel->value() - 1);
}

unsigned char MidiKeyboardUpperView::getVelocity() const
{
    return static_cast<unsigned char>(m_velocity->value());
}

unsigned char MidiKeyboardUpperView::getPressureIndex() const
{
    return static_cast<unsigned char>(m_pressure->currentIndex());
}
