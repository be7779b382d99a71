#include "views/MidiProgramChangeView.h"

#include "support/ImageResources.h"
#include "support/LookConstants.h"
#include "support/ValueRange.h"
#include "model/TulvarMidiModel.h"
#include "small/MidiLibrary/midilib_event.h"
#include "views/ViewConstants.h"
#include "views/ViewTransmission.h"
#include "widgets/SevenSegment.h"
#include "widgets/SpinBox.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum PayloadTag : qint32 {
    ChannelTag = 0,
    MSBEnabledTag = 1,
    MSBTag = 2,
    LSBEnabledTag = 3,
    LSBTag = 4,
    ProgramNumberTag = 5,
    AutoTransmitTag = 6,
    NumberBaseTag = 7,
};

enum NumberBase { ZeroBased = 0, OneBased = 1 };

constexpr unsigned char ControlChangeStatus = 0xB0;
constexpr unsigned char ProgramChangeStatus = 0xC0;
constexpr unsigned char BankSelectMSB = 0x00;
constexpr unsigned char BankSelectLSB = 0x20;

// The range record shifted into a base: as it stands one-based, one lower zero-based.
int inBase(int oneBasedValue, int base)
{
    switch (base) {
    case OneBased:
        return oneBasedValue;
    case ZeroBased:
        return oneBasedValue - 1;
    default:
        return 0;
    }
}

} // namespace

MidiProgramChangeView::MidiProgramChangeView(QWidget* parent, TulvarMidiModel* model)
    : QFrame(parent), WindowRestorationInfo(ProgramChangeId), m_model(model)
{
    m_numberBase = numberBase();
    setFocusPolicy(Qt::ClickFocus);
    setFrameStyle(MacFrameStyle);

    auto* form = new QFormLayout(this);

    m_channel = new SpinBox(ChannelDisplayValue, this);
    form->addRow(tr(ProgramChangeChannelText), m_channel);
    connect(m_channel, &SpinBox::widgetValueChanged, this, &MidiProgramChangeView::updateChannel);

    form->addRow(new QLabel(tr(ProgramChangeBankText), this));

    m_msbEnabled = new QCheckBox(tr(ProgramChangeMSBText), this);
    connect(m_msbEnabled, &QCheckBox::toggled, this, &MidiProgramChangeView::updateCheckbox);
    m_msb = new SpinBox(ProgramChangeMSBValue, this);
    form->addRow(m_msbEnabled, m_msb);
    connect(m_msb, &SpinBox::widgetValueChanged, this, &MidiProgramChangeView::updateMSB);

    m_lsbEnabled = new QCheckBox(tr(ProgramChangeLSBText), this);
    connect(m_lsbEnabled, &QCheckBox::toggled, this, &MidiProgramChangeView::updateCheckbox);
    m_lsb = new SpinBox(ProgramChangeLSBValue, this);
    form->addRow(m_lsbEnabled, m_lsb);
    connect(m_lsb, &SpinBox::widgetValueChanged, this, &MidiProgramChangeView::updateLSB);

    auto* numberColumn = new QVBoxLayout;
    numberColumn->addWidget(new QLabel(tr(ProgramChangeNumberText), this));
    m_programNumber = new SevenSegment(this);
    m_programNumber->setMinimum(getProgramChangeNumberMinimumValue());
    m_programNumber->setMaximum(getProgramChangeNumberMaximumValue());
    m_programNumber->setResetValue(getProgramChangeNumberDefaultValue());
    m_programNumber->setValue(getProgramChangeNumberDefaultValue());
    m_programNumber->setFixedSize(ProgramChangeDisplaySize);
    m_programNumber->setDigitPixmap(loadImage(Images::SevenSegment));
    m_programNumber->setIncreaseButtonGeometry(ProgramChangeIncreaseButtonRect);
    m_programNumber->setIncreaseButtonPixmap(loadImage(Images::UpArrowButton));
    m_programNumber->setDecreaseButtonGeometry(ProgramChangeDecreaseButtonRect);
    m_programNumber->setDecreaseButtonPixmap(loadImage(Images::DownArrowButton));
    numberColumn->addWidget(m_programNumber, 0, Qt::AlignRight);
    form->addRow(numberColumn);
    connect(m_programNumber, &SevenSegment::valueChanged, this, &MidiProgramChangeView::updateProgramNumber);

    m_autoTransmit = new QCheckBox(tr(ProgramChangeAutoTransmitText), this);
    form->addRow(m_autoTransmit);
    connect(m_autoTransmit, &QCheckBox::toggled, this, &MidiProgramChangeView::updateCheckbox);

    m_transmit = new QPushButton(tr(ProgramChangeTransmitText), this);
    form->addRow(m_transmit);
    connect(m_transmit, &QPushButton::pressed, this, &MidiProgramChangeView::transmitButtonPressed);

    m_model->registerModelAssistant(this);
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
}

MidiProgramChangeView::~MidiProgramChangeView()
{
    m_model->unregisterModelAssistant(this);
}

int MidiProgramChangeView::numberBase() const
{
    return m_model->getModelIntValue(ProgramNumberBaseParameterId);
}

int MidiProgramChangeView::getProgramChangeNumberMinimumValue() const
{
    return inBase(ProgramChangeNumberValue.minimum, numberBase());
}

int MidiProgramChangeView::getProgramChangeNumberMaximumValue() const
{
    return inBase(ProgramChangeNumberValue.maximum, numberBase());
}

int MidiProgramChangeView::getProgramChangeNumberDefaultValue() const
{
    return inBase(ProgramChangeNumberValue.defaultValue, numberBase());
}

int MidiProgramChangeView::adjustProgmraChangeNumberValue() const
{
    switch (numberBase()) {
    case OneBased:
        return m_programNumber->value() + 1;
    case ZeroBased:
        return m_programNumber->value() - 1;
    default:
        return 0;
    }
}

void MidiProgramChangeView::transmitProgramChangeMessage()
{
    const int channel = m_channel->committedValue() - 1;
    if (m_msbEnabled->isChecked()) {
        const unsigned char message[] = {channelStatus(ControlChangeStatus, channel), BankSelectMSB,
                                         dataByte(m_msb->committedValue())};
        transmitFromView(message, sizeof message, MIDILIB_Event_Type_ControlChange);
    }
    if (m_lsbEnabled->isChecked()) {
        const unsigned char message[] = {channelStatus(ControlChangeStatus, channel), BankSelectLSB,
                                         dataByte(m_lsb->committedValue())};
        transmitFromView(message, sizeof message, MIDILIB_Event_Type_ControlChange);
    }
    const int displayed = m_programNumber->value();
    const int program = numberBase() == OneBased ? displayed - 1 : displayed;
    const unsigned char message[] = {channelStatus(ProgramChangeStatus, channel), dataByte(program)};
    transmitFromView(message, sizeof message, MIDILIB_Event_Type_ProgramChange);
}

void MidiProgramChangeView::userChanged()
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    if (m_autoTransmit->isChecked()) {
        transmitProgramChangeMessage();
    }
}

void MidiProgramChangeView::updateChannel(int)
{
    userChanged();
}

void MidiProgramChangeView::updateMSB(int)
{
    userChanged();
}

void MidiProgramChangeView::updateLSB(int)
{
    userChanged();
}

void MidiProgramChangeView::updateProgramNumber(int)
{
    if (!m_updating) {
        userChanged();
    }
}

void MidiProgramChangeView::updateCheckbox(bool)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
}

void MidiProgramChangeView::transmitButtonPressed()
{
    transmitProgramChangeMessage();
}

void MidiProgramChangeView::setDisplayedNumber(int value)
{
    m_updating = true;
    m_programNumber->setValue(value);
    m_updating = false;
}

void MidiProgramChangeView::updateParameter(unsigned int id)
{
    if (id != ProgramNumberBaseParameterId || numberBase() == m_numberBase) {
        return;
    }
    m_numberBase = numberBase();
    const int adjusted = adjustProgmraChangeNumberValue();
    m_updating = true;
    m_programNumber->setMinimum(getProgramChangeNumberMinimumValue());
    m_programNumber->setMaximum(getProgramChangeNumberMaximumValue());
    m_programNumber->setResetValue(getProgramChangeNumberDefaultValue());
    m_programNumber->setValue(adjusted);
    m_updating = false;
}

void MidiProgramChangeView::closeEvent(QCloseEvent* event)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    QFrame::closeEvent(event);
}

bool MidiProgramChangeView::getDataStream(QDataStream& stream)
{
    setIntParameterToStream(stream, ChannelTag, m_channel->committedValue());
    setIntParameterToStream(stream, MSBEnabledTag, m_msbEnabled->isChecked() ? 1 : 0);
    setIntParameterToStream(stream, MSBTag, m_msb->committedValue());
    setIntParameterToStream(stream, LSBEnabledTag, m_lsbEnabled->isChecked() ? 1 : 0);
    setIntParameterToStream(stream, LSBTag, m_lsb->committedValue());
    setIntParameterToStream(stream, ProgramNumberTag, m_programNumber->value());
    setIntParameterToStream(stream, AutoTransmitTag, m_autoTransmit->isChecked() ? 1 : 0);
    setIntParameterToStream(stream, NumberBaseTag, numberBase());
    return stream.status() == QDataStream::Ok;
}

bool MidiProgramChangeView::setDataStream(QDataStream& stream)
{
    qint32 value = 0;
    if (getIntParameterFromStream(stream, ChannelTag, value)) {
        m_channel->setWidgetValue(value);
    }
    if (getIntParameterFromStream(stream, MSBEnabledTag, value)) {
        m_msbEnabled->setChecked(value >= 1);
    }
    if (getIntParameterFromStream(stream, MSBTag, value)) {
        m_msb->setWidgetValue(value);
    }
    if (getIntParameterFromStream(stream, LSBEnabledTag, value)) {
        m_lsbEnabled->setChecked(value >= 1);
    }
    if (getIntParameterFromStream(stream, LSBTag, value)) {
        m_lsb->setWidgetValue(value);
    }
    qint32 programNumber = 0;
    const bool hasProgramNumber = getIntParameterFromStream(stream, ProgramNumberTag, programNumber);
    if (getIntParameterFromStream(stream, AutoTransmitTag, value)) {
        m_autoTransmit->setChecked(value >= 1);
    }
    qint32 savedBase = 0;
    const bool hasSavedBase = getIntParameterFromStream(stream, NumberBaseTag, savedBase);
    if (hasProgramNumber) {
        const int base = numberBase();
        if (hasSavedBase) {
            programNumber += base > savedBase ? 1 : (base < savedBase ? -1 : 0);
        } else if (base == ZeroBased) {
            programNumber -= 1;
        }
        setDisplayedNumber(programNumber);
    }
    return true;
}
