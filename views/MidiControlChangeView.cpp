#include "views/MidiControlChangeView.h"

#include "support/LookConstants.h"
#include "support/ValueRange.h"
#include "engine/MessageTables.h"
#include "model/TulvarMidiModel.h"
#include "small/MidiLibrary/midilib_event.h"
#include "views/ViewConstants.h"
#include "views/ViewTransmission.h"
#include "widgets/Dial.h"
#include "widgets/SpinBox.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum PayloadTag : qint32 { ChannelTag = 0, ControllerTag = 1, ValueTag = 2, ReservedTag = 3 };

constexpr unsigned char ControlChangeStatus = 0xB0;

int initialValueOf(int controller)
{
    return ControlChangeInitialValueTable[dataByte(controller)];
}

} // namespace

MidiControlChangeView::MidiControlChangeView(QWidget* parent, unsigned char controllerNumber, TulvarMidiModel* model)
    : QFrame(parent), ControlChangeWindowRestorationInfo(dataByte(controllerNumber)), m_model(model)
{
    const int controller = dataByte(controllerNumber);
    setFocusPolicy(Qt::ClickFocus);
    setFrameStyle(MacFrameStyle);

    auto* layout = new QVBoxLayout(this);

    auto* channelRow = new QHBoxLayout;
    channelRow->addWidget(new QLabel(tr(ControlChangeChannelText), this));
    m_channel = new SpinBox(this);
    m_channel->setRange(ChannelDisplayValue.minimum, ChannelDisplayValue.maximum);
    m_channel->setDefaultValue(ChannelDisplayValue.defaultValue);
    m_channel->setWidgetValue(ChannelDisplayValue.defaultValue);
    m_channel->setAlignment(Qt::AlignRight);
    channelRow->addWidget(m_channel);
    layout->addLayout(channelRow);
    connect(m_channel, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &MidiControlChangeView::updateControlChangeChannel);

    m_controller = new QComboBox(this);
    // The longest names would make the window wider than it opens; the list shows them whole.
    m_controller->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_controller->setMinimumContentsLength(ControlChangeListMinimumLength);
    for (int number = 0; number < ControlChangeMax; ++number) {
        m_controller->addItem(QString::fromLatin1(ControlChangeNameList[number]));
    }
    m_controller->setCurrentIndex(controller);
    layout->addWidget(m_controller);
    connect(m_controller, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &MidiControlChangeView::controlChangeNumberChanged);

    m_value = new Dial(this);
    m_value->setRange(ControlChangeValue.minimum, ControlChangeValue.maximum);
    m_value->setLineEditSize(LineEditSize);
    m_value->setArcMargins(ArcMargin);
    m_value->setResetValue(initialValueOf(controller));
    m_value->setValue(initialValueOf(controller));
    m_value->setArcColors(StartGradientColorOfKnobMeter, EndGradientColorOfKnobMeter);
    m_model->registerDial(m_value);
    layout->addWidget(m_value);
    // Connected after the initial value is set: creating a view sends nothing.
    connect(m_value, &QDial::valueChanged, this, &MidiControlChangeView::updateControlChangeValue);

    m_transmit = new QPushButton(tr(ControlChangeTransmitText), this);
    layout->addWidget(m_transmit);
    connect(m_transmit, &QPushButton::pressed, this, &MidiControlChangeView::transmitButtonPressed);

    m_model->setParameterEditFlag(ParameterEditFlagChanged);
}

MidiControlChangeView::~MidiControlChangeView()
{
    m_model->unregisterDial(m_value);
}

void MidiControlChangeView::transmitControlChange(int value)
{
    if (isOpeningProject()) {
        return;
    }
    const unsigned char message[] = {channelStatus(ControlChangeStatus, m_channel->value() - 1),
                                     dataByte(m_controller->currentIndex()), dataByte(value)};
    transmitFromView(message, sizeof message, MIDILIB_Event_Type_ControlChange);
}

void MidiControlChangeView::updateControlChangeValue(int value)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    transmitControlChange(value);
}

void MidiControlChangeView::transmitButtonPressed()
{
    transmitControlChange(m_value->value());
}

void MidiControlChangeView::updateControlChangeChannel(int)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
}

void MidiControlChangeView::controlChangeNumberChanged(int index)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    QList<QVariant> parameters = getRestorationParameters();
    // Kept as an int: the project writer and the settings file store numbers and switches only.
    parameters[0] = int(dataByte(index));
    setRestorationParameters(parameters);
    m_value->setResetValue(initialValueOf(index));
}

void MidiControlChangeView::closeEvent(QCloseEvent* event)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    QFrame::closeEvent(event);
}

bool MidiControlChangeView::getDataStream(QDataStream& stream)
{
    setIntParameterToStream(stream, ChannelTag, m_channel->value());
    setIntParameterToStream(stream, ControllerTag, m_controller->currentIndex());
    setIntParameterToStream(stream, ValueTag, m_value->value());
    setIntParameterToStream(stream, ReservedTag, 0);
    return stream.status() == QDataStream::Ok;
}

bool MidiControlChangeView::setDataStream(QDataStream& stream)
{
    qint32 value = 0;
    if (getIntParameterFromStream(stream, ChannelTag, value)) {
        m_channel->setValue(value);
    }
    // A controller outside the list would leave the window on none.
    if (getIntParameterFromStream(stream, ControllerTag, value) && value >= 0 && value < ControlChangeMax) {
        m_controller->setCurrentIndex(value);
    }
    if (getIntParameterFromStream(stream, ValueTag, value)) {
        m_value->setValue(value);
    }
    getIntParameterFromStream(stream, ReservedTag, value);
    return true;
}
