#include "views/MidiKeyboardView.h"

#include "support/LookConstants.h"
#include "model/TulvarMidiModel.h"
#include "small/MidiLibrary/midilib_event.h"
#include "views/MidiKeyboardUpperView.h"
#include "views/MidiKeyboardViewScrollArea.h"
#include "views/ViewConstants.h"
#include "views/ViewTransmission.h"
#include "widgets/PressureKeyboard.h"
#include "widgets/SpinBox.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

enum PayloadTag : qint32 { ScrollPositionTag = 0, ChannelTag = 1, VelocityTag = 2, PressureModeTag = 3 };

} // namespace

MidiKeyboardView::MidiKeyboardView(QWidget* parent, TulvarMidiModel* model)
    : QWidget(parent), WindowRestorationInfo(KeyboardId), m_model(model)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_upperView = new MidiKeyboardUpperView(this);
    m_upperView->setFixedSize(m_upperView->sizeHint());
    layout->addWidget(m_upperView);

    m_scrollArea = new MidiKeyboardViewScrollArea(this, model);
    m_scrollArea->setGeometry(0, 0, KeyboardViewSize.width(), KeyboardScrollAreaHeight);
    m_scrollArea->setFixedHeight(KeyboardScrollAreaHeight);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_keyboard = new PressureKeyboard(nullptr, WhiteKeySize);
    m_keyboard->setGeometry(QRect(QPoint(0, 0), KeyboardViewSize));
    m_keyboard->onColor = KeyboardOnColor;
    m_scrollArea->setWidget(m_keyboard);
    layout->addWidget(m_scrollArea);

    m_keyboard->setNoteCallbackFunc(&MidiKeyboardView::noteCallback, this);
    m_keyboard->setKeyPressureCallbackFunc(&MidiKeyboardView::keyPressureCallback, this);
    m_keyboard->setChannelPressureCallbackFunc(&MidiKeyboardView::channelPressureCallback, this);

    m_channel = m_upperView->getChannel();
    m_model->setParameterEditFlag(ParameterEditFlagChanged);

    connect(m_upperView->channelSpinBox(), QOverload<int>::of(&QSpinBox::valueChanged), this,
            &MidiKeyboardView::noteChannelChanged);
    connect(m_upperView->velocitySpinBox(), QOverload<int>::of(&QSpinBox::valueChanged), this,
            &MidiKeyboardView::velocityChanged);
    connect(m_upperView->pressureComboBox(), QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &MidiKeyboardView::pressureChanged);

    m_keyboard->setMiddleCOffset(m_model->getModelIntValue(MessageMiddleCParameterId));
    m_model->registerModelAssistant(this);
}

MidiKeyboardView::~MidiKeyboardView()
{
    m_model->unregisterModelAssistant(this);
}

void MidiKeyboardView::noteCallback(void* context, unsigned char note, bool on)
{
    static_cast<MidiKeyboardView*>(context)->transmitNoteMessage(note, on);
}

void MidiKeyboardView::keyPressureCallback(void* context, unsigned char note, unsigned char pressure)
{
    static_cast<MidiKeyboardView*>(context)->transmitKeyPressureMessage(note, pressure);
}

void MidiKeyboardView::channelPressureCallback(void* context, unsigned char pressure)
{
    static_cast<MidiKeyboardView*>(context)->transmitChannelPressureMessage(pressure);
}

void MidiKeyboardView::transmitNoteMessage(unsigned char note, bool on)
{
    if (on) {
        const unsigned char message[] = {channelStatus(KeyboardNoteOnMessage, m_channel), dataByte(note),
                                         dataByte(m_upperView->getVelocity())};
        transmitFromView(message, sizeof message, MIDILIB_Event_Type_NoteOn);
    } else {
        const unsigned char message[] = {channelStatus(KeyboardNoteOffMessage, m_channel), dataByte(note),
                                         KeyboardNotteOffVelocity};
        transmitFromView(message, sizeof message, MIDILIB_Event_Type_NoteOff);
    }
}

void MidiKeyboardView::transmitKeyPressureMessage(unsigned char note, unsigned char pressure)
{
    const unsigned char message[] = {channelStatus(KeyPressureMessage, m_channel), dataByte(note), dataByte(pressure)};
    transmitFromView(message, sizeof message, MIDILIB_Event_Type_PolyKeyPressure);
}

void MidiKeyboardView::transmitChannelPressureMessage(unsigned char pressure)
{
    const unsigned char message[] = {channelStatus(ChannelPressureMessage, m_channel), dataByte(pressure)};
    transmitFromView(message, sizeof message, MIDILIB_Event_Type_ChannelKeyPressure);
}

void MidiKeyboardView::noteChannelChanged(qint32)
{
    // Sounding notes end on the channel they started on.
    m_keyboard->noteOnToOff();
    m_channel = m_upperView->getChannel();
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
}

void MidiKeyboardView::velocityChanged(qint32)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
}

void MidiKeyboardView::pressureChanged(qint32 index)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    m_keyboard->setPressureMode(index);
}

void MidiKeyboardView::updateParameter(unsigned int id)
{
    if (id == MessageMiddleCParameterId) {
        m_keyboard->setMiddleCOffset(m_model->getModelIntValue(MessageMiddleCParameterId));
    }
}

void MidiKeyboardView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_scrollPositionSet) {
        m_scrollPositionSet = true;
        QScrollBar* bar = m_scrollArea->horizontalScrollBar();
        bar->setValue(int((bar->maximum() - bar->minimum()) * 0.5));
    }
}

void MidiKeyboardView::closeEvent(QCloseEvent* event)
{
    m_keyboard->noteOnToOff();
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    QWidget::closeEvent(event);
}

bool MidiKeyboardView::getDataStream(QDataStream& stream)
{
    if (QScrollBar* bar = m_scrollArea->horizontalScrollBar()) {
        setIntParameterToStream(stream, ScrollPositionTag, bar->value());
    }
    setIntParameterToStream(stream, ChannelTag, m_upperView->channelSpinBox()->value());
    setIntParameterToStream(stream, VelocityTag, m_upperView->velocitySpinBox()->value());
    setIntParameterToStream(stream, PressureModeTag, m_upperView->pressureComboBox()->currentIndex());
    return stream.status() == QDataStream::Ok;
}

bool MidiKeyboardView::setDataStream(QDataStream& stream)
{
    qint32 value = 0;
    if (getIntParameterFromStream(stream, ScrollPositionTag, value)) {
        m_scrollArea->horizontalScrollBar()->setValue(value);
        m_scrollPositionSet = true;
    }
    if (getIntParameterFromStream(stream, ChannelTag, value)) {
        m_upperView->channelSpinBox()->setValue(value);
    }
    if (getIntParameterFromStream(stream, VelocityTag, value)) {
        m_upperView->velocitySpinBox()->setValue(value);
    }
    // An index the box does not have would leave no mode selected at all.
    if (getIntParameterFromStream(stream, PressureModeTag, value) && value >= 0
        && value < m_upperView->pressureComboBox()->count()) {
        m_upperView->pressureComboBox()->setCurrentIndex(value);
    }
    return true;
}
