#include "views/MidiActivesensingView.h"

#include "support/LookConstants.h"
#include "support/ValueRange.h"
#include "engine/MidiActivesenseTransmittionThread.h"
#include "model/TulvarMidiModel.h"
#include "views/MainWindowIF.h"
#include "views/ToolViewKnob.h"
#include "views/ViewConstants.h"
#include "widgets/MidiLedCombinedDial.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr qint32 IntervalRecordTag = 0;
constexpr qint32 PlayRecordTag = 1;

} // namespace

MidiActivesensingView::MidiActivesensingView(QWidget* parent, TulvarMidiModel* model)
    : QFrame(parent)
    , WindowRestorationInfo(ActiveSensingId)
    , m_model(model)
{
    setFrameStyle(MacFrameStyle);
    auto* layout = new QVBoxLayout(this);

    m_intervalKnob = new MidiLedCombinedDial(this);
    setUpToolViewKnob(m_intervalKnob, ActiveSenseValue, model);
    m_intervalKnob->setAutoOff(false);
    m_intervalKnob->setLedOnColor(ActivesenseLedOnColor);
    m_intervalKnob->setLedOffColor(ActivesenseLedOffColor);
    connect(m_intervalKnob, &Dial::valueChanged, this, &MidiActivesensingView::updatedKnobValue);
    layout->addWidget(m_intervalKnob);

    if (MainWindowIF* mainWindow = MainWindowIF::instance()) {
        m_thread = new MidiActivesenseTransmittionThread(this, mainWindow);
        m_thread->setActivesenseInterval(m_intervalKnob->value());
        m_thread->setPlayActivesensingFlag(false);
    }

    m_transmitButton = new QPushButton(this);
    m_transmitButton->setAutoFillBackground(true);
    m_transmitButton->setCheckable(true);
    m_transmitButton->setChecked(false);
    updatedplayButton(false);
    connect(m_transmitButton, &QPushButton::toggled, this, &MidiActivesensingView::updatedplayButton);
    layout->addWidget(m_transmitButton);

    m_model->setParameterEditFlag(ParameterEditFlagChanged);
}

MidiActivesensingView::~MidiActivesensingView()
{
    delete m_thread;
    m_model->unregisterDial(m_intervalKnob);
}

void MidiActivesensingView::updatedplayButton(bool play)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    m_transmitButton->setText(QString::fromUtf8(play ? ActinvesenseStop : ActinvesenseTransmit));
    if (m_thread != nullptr) {
        m_thread->setPlayActivesensingFlag(play);
    }
    m_intervalKnob->setLedOn(play);
}

void MidiActivesensingView::updatedKnobValue(int milliseconds)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    if (m_thread != nullptr) {
        m_thread->setActivesenseInterval(milliseconds);
    }
}

void MidiActivesensingView::closeEvent(QCloseEvent* event)
{
    if (m_thread != nullptr) {
        m_thread->setPlayActivesensingFlag(false);
    }
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    QFrame::closeEvent(event);
}

bool MidiActivesensingView::getDataStream(QDataStream& stream)
{
    return setIntParameterToStream(stream, IntervalRecordTag, m_intervalKnob->value())
        && setIntParameterToStream(stream, PlayRecordTag, m_transmitButton->isChecked() ? 1 : 0);
}

bool MidiActivesensingView::setDataStream(QDataStream& stream)
{
    qint32 value = 0;
    if (getIntParameterFromStream(stream, IntervalRecordTag, value)) {
        m_intervalKnob->setValue(value);
    }
    if (getIntParameterFromStream(stream, PlayRecordTag, value)) {
        m_transmitButton->setChecked(value >= 1);
    }
    return stream.status() == QDataStream::Ok;
}
