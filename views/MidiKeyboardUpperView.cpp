#include "views/MidiKeyboardUpperView.h"

#include "support/ValueRange.h"
#include "views/ViewConstants.h"
#include "widgets/SpinBox.h"

#include <QComboBox>
#include <QLabel>

MidiKeyboardUpperView::MidiKeyboardUpperView(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);

    int x = KeyboardUpperViewLeft;
    // A label is at least as wide as its slot and never narrower than its text, which a
    // monospace fallback face makes wider than the slot; the controls after it move along.
    const auto addLabel = [this, &x](const char* text, int gap) {
        auto* label = new QLabel(tr(text), this);
        const int width = qMax(KeyboardUpperViewLabelWidth, label->sizeHint().width());
        label->setGeometry(x, KeyboardUpperViewTop, width, KeyboardUpperViewRowHeight);
        x += width + gap;
    };
    const auto place = [&x](QWidget* control, int width) {
        control->setGeometry(x, KeyboardUpperViewTop, width, KeyboardUpperViewRowHeight);
        x += width + KeyboardUpperViewGap;
    };

    addLabel(KeyboardChannelText, KeyboardUpperViewGap);
    m_channel = new SpinBox(ChannelDisplayValue, this);
    place(m_channel, KeyboardUpperViewSpinBoxWidth);
    // The velocity box sits closer to its label.
    addLabel(KeyboardVelocityText, KeyboardUpperViewGap / 2);
    m_velocity = new SpinBox(VelocityValue, this);
    place(m_velocity, KeyboardUpperViewSpinBoxWidth);
    addLabel(KeyboardPressureText, KeyboardUpperViewGap);
    m_pressure = new QComboBox(this);
    m_pressure->setAttribute(Qt::WA_MacShowFocusRect, false);
    for (const char* name : KeyboardPressureNameList) {
        m_pressure->addItem(tr(name));
    }
    m_pressure->setCurrentIndex(0);
    place(m_pressure, KeyboardUpperViewComboBoxWidth);
    m_width = x - KeyboardUpperViewGap;
}

QSize MidiKeyboardUpperView::sizeHint() const
{
    return {qMax(m_width, KeyboardUpperViewSize.width()), KeyboardUpperViewSize.height()};
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
