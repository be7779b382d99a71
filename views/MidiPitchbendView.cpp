#include "views/MidiPitchbendView.h"

#include "support/LookConstants.h"
#include "support/ValueRange.h"
#include "model/TulvarMidiModel.h"
#include "small/MidiLibrary/midilib_event.h"
#include "views/ViewConstants.h"
#include "views/ViewTransmission.h"
#include "widgets/MidiPitchbendSlider.h"
#include "widgets/SpinBox.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum PayloadTag : qint32 { ChannelTag = 0, WheelModeTag = 1, DisplayTag = 2 };

constexpr int PitchbendMsbMask = 0x3F80;
constexpr int PitchbendMsbShift = 7;
// The slider step from which the LSB climbs to reach 127 at the top.
constexpr int FirstRisingSliderStep = PitchBendSliderValue.defaultValue + 1;

} // namespace

MidiPitchbendView::MidiPitchbendView(QWidget* parent, TulvarMidiModel* model)
    : QFrame(parent), WindowRestorationInfo(PitchBendId), m_model(model)
{
    setFocusPolicy(Qt::ClickFocus);
    setFrameStyle(MacFrameStyle);

    auto* layout = new QVBoxLayout(this);

    auto* channelRow = new QHBoxLayout;
    channelRow->addWidget(new QLabel(tr(PitchbendChannelText), this));
    m_channel = new SpinBox(ChannelDisplayValue, this);
    channelRow->addWidget(m_channel);
    layout->addLayout(channelRow);
    connect(m_channel, QOverload<int>::of(&QSpinBox::valueChanged), this, &MidiPitchbendView::updateChannel);

    m_wheelMode = new QCheckBox(tr(PitchbendWheelModeText), this);
    m_wheelMode->setChecked(true);
    layout->addWidget(m_wheelMode);
    connect(m_wheelMode, &QCheckBox::toggled, this, &MidiPitchbendView::updateWheelMode);

    m_slider = new MidiPitchbendSlider(this);
    m_slider->resize(PitchbendSliderSize);
    m_slider->setFixedWidth(PitchbendSliderSize.width());
    m_slider->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    m_slider->setRange(PitchBendSliderValue.minimum, PitchBendSliderValue.maximum);
    m_slider->setValue(PitchBendSliderValue.defaultValue);
    m_slider->setRestValue(PitchBendSliderValue.defaultValue);
    QPalette palette = m_slider->palette();
    palette.setColor(QPalette::Window, Qt::black);
    m_slider->setPalette(palette);
    layout->addWidget(m_slider, 1, Qt::AlignHCenter);
    connect(m_slider, &MidiPitchbendSlider::valueChanged, this, &MidiPitchbendView::sliderValueChanged);

    m_display = new SpinBox(PitchBendDisplayValue, this);
    layout->addWidget(m_display);
    connect(m_display, &SpinBox::widgetValueChanged, this, &MidiPitchbendView::updatePitchbendValue);

    m_transmit = new QPushButton(tr(PitchbendTransmitText), this);
    layout->addWidget(m_transmit);
    connect(m_transmit, &QPushButton::pressed, this, &MidiPitchbendView::transmitButtonPressed);

    m_display->setEnabled(!m_wheelMode->isChecked());
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
}

unsigned char MidiPitchbendView::calculateLsbFromSliderValue(int slider)
{
    if (slider < FirstRisingSliderStep) {
        return 0;
    }
    // 8128 = 64 x 127: the LSB runs from 2 at step 65 to 127 at step 127.
    return dataByte((slider * 127 - 8128) / 63);
}

int MidiPitchbendView::convertPitchBendValueToSliderValue(int displayValue)
{
    const int value = displayValue - PitchBendDisplayValue.minimum;
    if (value < PitchBendValue.minimum || value > PitchBendValue.maximum) {
        return 0;
    }
    const int msb = (value & PitchbendMsbMask) >> PitchbendMsbShift;
    if (msb < FirstRisingSliderStep) {
        return msb;
    }
    return calculateLsbFromSliderValue(msb) > (value & PitchbendMask) ? msb - 1 : msb;
}

bool MidiPitchbendView::convertPitchBendValueToMsbLsb(int value, unsigned char& msb, unsigned char& lsb)
{
    if (value < PitchBendValue.minimum || value > PitchBendValue.maximum) {
        msb = 0;
        lsb = 0;
        return false;
    }
    lsb = static_cast<unsigned char>(value & PitchbendMask);
    msb = static_cast<unsigned char>((value & PitchbendMsbMask) >> PitchbendMsbShift);
    return true;
}

void MidiPitchbendView::transmitPitchbendMessage(unsigned char channel, int value)
{
    unsigned char msb = 0;
    unsigned char lsb = 0;
    if (!convertPitchBendValueToMsbLsb(value, msb, lsb)) {
        return;
    }
    const unsigned char message[] = {channelStatus(PitchbendMessage, channel), lsb, msb};
    transmitFromView(message, sizeof message, MIDILIB_Event_Type_PitchBend);
}

unsigned char MidiPitchbendView::channel() const
{
    return static_cast<unsigned char>(m_channel->value() - 1);
}

void MidiPitchbendView::sliderValueChanged(int value)
{
    if (isOpeningProject() || m_updating) {
        return;
    }
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    m_updating = true;
    const unsigned char lsb = calculateLsbFromSliderValue(value);
    const unsigned char message[] = {channelStatus(PitchbendMessage, channel()), lsb, dataByte(value)};
    transmitFromView(message, sizeof message, MIDILIB_Event_Type_PitchBend);
    m_display->setWidgetValue(lsb + value * 128 + PitchBendDisplayValue.minimum);
    m_updating = false;
}

void MidiPitchbendView::updatePitchbendValue(int value)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    if (m_updating) {
        return;
    }
    m_updating = true;
    transmitPitchbendMessage(channel(), value - PitchBendDisplayValue.minimum);
    m_slider->setValue(convertPitchBendValueToSliderValue(value));
    m_updating = false;
}

void MidiPitchbendView::updateWheelMode(bool checked)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    m_slider->setWheelMode(checked ? MidiPitchbendSlider::SpringBack : MidiPitchbendSlider::Hold);
    m_display->setEnabled(!checked);
}

void MidiPitchbendView::updateChannel(int)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
}

void MidiPitchbendView::transmitButtonPressed()
{
    transmitPitchbendMessage(channel(), m_display->committedValue() - PitchBendDisplayValue.minimum);
}

void MidiPitchbendView::closeEvent(QCloseEvent* event)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    QFrame::closeEvent(event);
}

bool MidiPitchbendView::getDataStream(QDataStream& stream)
{
    setIntParameterToStream(stream, ChannelTag, m_channel->value());
    setIntParameterToStream(stream, WheelModeTag, m_wheelMode->isChecked() ? 1 : 0);
    setIntParameterToStream(stream, DisplayTag, m_display->committedValue());
    return stream.status() == QDataStream::Ok;
}

bool MidiPitchbendView::setDataStream(QDataStream& stream)
{
    qint32 value = 0;
    if (getIntParameterFromStream(stream, ChannelTag, value)) {
        m_channel->setValue(value);
    }
    if (getIntParameterFromStream(stream, WheelModeTag, value)) {
        m_wheelMode->setChecked(value != 0);
    }
    if (getIntParameterFromStream(stream, DisplayTag, value)) {
        m_display->setWidgetValue(value);
        m_slider->setValue(convertPitchBendValueToSliderValue(m_display->committedValue()));
    }
    return true;
}
