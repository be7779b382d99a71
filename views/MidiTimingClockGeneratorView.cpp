#include "views/MidiTimingClockGeneratorView.h"

#include "support/CommonTexts.h"
#include "support/ImageResources.h"
#include "support/LookConstants.h"
#include "support/ValueRange.h"
#include "engine/MidiTimingClockTransmittionThread.h"
#include "model/TulvarMidiModel.h"
#include "model/TulvarMidiParameters.h"
#include "views/MainWindowIF.h"
#include "views/ToolViewKnob.h"
#include "views/ViewConstants.h"
#include "widgets/MidiLedCombinedDial.h"
#include "widgets/MidiTimingClockPlayStopButton.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr qint32 TempoRecordTag = 0;
constexpr qint32 PlayRecordTag = 1;
constexpr int LabelHeight = 20;
constexpr int PlayButtonFrameSize = 15;

QLabel* fixedHeightLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFixedHeight(LabelHeight);
    return label;
}

QHBoxLayout* row(QWidget* left, QWidget* right)
{
    auto* layout = new QHBoxLayout;
    layout->addWidget(left);
    layout->addWidget(right);
    return layout;
}

} // namespace

MidiTimingClockGeneratorView::MidiTimingClockGeneratorView(QWidget* parent, TulvarMidiModel* model)
    : QFrame(parent)
    , WindowRestorationInfo(TimingClockId)
    , m_model(model)
{
    setFrameStyle(MacFrameStyle);
    auto* layout = new QVBoxLayout(this);

    m_receiveLabel = fixedHeightLabel(TimingClockReceive, this);
    m_receivedTempoLabel = fixedHeightLabel(QString(), this);
    m_receivedTempoLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_receivedTempoLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    layout->addLayout(row(m_receiveLabel, m_receivedTempoLabel));
    layout->addLayout(row(fixedHeightLabel(TimingClockTransmit, this), fixedHeightLabel(QString(), this)));

    m_tempoKnob = new MidiLedCombinedDial(this);
    setUpToolViewKnob(m_tempoKnob, TempoValue, model);
    m_tempoKnob->setLedOnColor(TempoLedOnColor);
    m_tempoKnob->setLedOffColor(TempoLedOffColor);
    connect(m_tempoKnob, &Dial::valueChanged, this, &MidiTimingClockGeneratorView::updatedKnobValue);
    layout->addWidget(m_tempoKnob);

    m_playButton = new MidiTimingClockPlayStopButton(this);
    m_playButton->setAutoFillBackground(true);
    m_playButton->setCheckable(true);
    m_playButton->setChecked(false);
    m_playButton->setFrameSize(PlayButtonFrameSize, PlayButtonFrameSize);
    m_playButton->setPixmap(loadImage(Images::PlayStop));
    connect(m_playButton, &QPushButton::toggled, this, &MidiTimingClockGeneratorView::updatedplayButton);
    layout->addWidget(m_playButton);

    if (MainWindowIF* mainWindow = MainWindowIF::instance()) {
        m_thread = new MidiTimingClockTransmittionThread(this, mainWindow);
        m_thread->setTempo(m_tempoKnob->value() * 10);
        m_thread->setPlayTimingClockFlag(false);
        connect(m_thread, &MidiTimingClockTransmittionThread::blinkLed, m_tempoKnob, &MidiLedCombinedDial::ledOn);
    }

    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    m_model->registerModelAssistant(this);
    setTimingClockReceivedWidgetEnabled(m_model->getModelIntValue(MessageParsedParameterId) >= 1);
    setReceivedTimingClock(0);
}

MidiTimingClockGeneratorView::~MidiTimingClockGeneratorView()
{
    m_model->unregisterModelAssistant(this);
    // The thread goes first: its last blink must not reach a knob that is gone.
    delete m_thread;
    m_model->unregisterDial(m_tempoKnob);
}

void MidiTimingClockGeneratorView::updatedKnobValue(int bpm)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    if (m_thread != nullptr) {
        m_thread->setTempo(bpm * 10);
    }
}

void MidiTimingClockGeneratorView::updatedplayButton(bool play)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    if (m_thread != nullptr) {
        m_thread->setPlayTimingClockFlag(play);
    }
}

void MidiTimingClockGeneratorView::setReceivedTimingClock(unsigned long tenthsOfBpm)
{
    const long bpm = std::lround(std::floor(float(tenthsOfBpm) / 10.0f + 0.5f));
    QString text;
    if (bpm < TempoValue.minimum) {
        text = InvalidTempoText;
    } else if (bpm > TempoValue.maximum) {
        text = MaximumTempoText;
    } else {
        text = QString::number(bpm);
    }
    m_receivedTempoLabel->setText(text + QStringLiteral(" ") + QString::fromUtf8(TempoValue.suffix));
}

void MidiTimingClockGeneratorView::setTimingClockReceivedWidgetEnabled(bool enabled)
{
    const QString toolTip = enabled ? QString() : DisabledFunctionMessage.arg(m_receiveLabel->text());
    for (QLabel* label : {m_receiveLabel, m_receivedTempoLabel}) {
        label->setEnabled(enabled);
        label->setToolTip(toolTip);
    }
}

void MidiTimingClockGeneratorView::updateParameter(unsigned int id)
{
    if (id == MessageParsedParameterId) {
        setTimingClockReceivedWidgetEnabled(m_model->getModelIntValue(MessageParsedParameterId) >= 1);
    }
}

void MidiTimingClockGeneratorView::closeEvent(QCloseEvent* event)
{
    if (m_thread != nullptr) {
        m_thread->setPlayTimingClockFlag(false);
    }
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    QFrame::closeEvent(event);
}

bool MidiTimingClockGeneratorView::getDataStream(QDataStream& stream)
{
    return setIntParameterToStream(stream, TempoRecordTag, m_tempoKnob->value())
        && setIntParameterToStream(stream, PlayRecordTag, m_playButton->isChecked() ? 1 : 0);
}

bool MidiTimingClockGeneratorView::setDataStream(QDataStream& stream)
{
    qint32 value = 0;
    if (getIntParameterFromStream(stream, TempoRecordTag, value)) {
        m_tempoKnob->setValue(value);
    }
    if (getIntParameterFromStream(stream, PlayRecordTag, value)) {
        m_playButton->setChecked(value >= 1);
    }
    return stream.status() == QDataStream::Ok;
}
