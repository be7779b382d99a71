#include "views/MidiTransportPanelView.h"

#include "support/ImageResources.h"
#include "support/LookConstants.h"
#include "support/ValueRange.h"
#include "model/TulvarMidiModel.h"
#include "small/MidiLibrary/midilib_event.h"
#include "views/MainWindowIF.h"
#include "views/ViewConstants.h"
#include "widgets/MidiTransportPanelPlayStopButton.h"
#include "widgets/SpinBox.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <vector>

namespace {

constexpr qint32 SongNumberRecordTag = 0;
constexpr qint32 SongPositionRecordTag = 1;
constexpr int FormSpacing = 5;
constexpr int RowSpacing = 15;
constexpr int SpinBoxWidth = 92;
constexpr int TransmitButtonWidth = 100;
constexpr int TransportButtonHeight = 34;
constexpr int TransportImagePosition = 15;

QHBoxLayout* spinBoxRow(const ValueRange& range, SpinBox* spinBox, QPushButton* transmit, QWidget* parent)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(RowSpacing);
    row->addWidget(new QLabel(QString::fromUtf8(range.name), parent), 0, Qt::AlignCenter);
    row->addWidget(spinBox);
    transmit->setCheckable(false);
    transmit->setFixedWidth(TransmitButtonWidth);
    row->addWidget(transmit);
    return row;
}

MidiTransportPanelPlayStopButton* makeTransportButton(const QString& image, const char* toolTip, QWidget* parent)
{
    auto* button = new MidiTransportPanelPlayStopButton(parent);
    button->setFixedHeight(TransportButtonHeight);
    button->setCheckable(false);
    button->setPixmap(loadImage(image));
    button->setImagePosition(TransportImagePosition, TransportImagePosition);
    button->setCenterOnShow(true);
    button->setToolTip(QString::fromUtf8(toolTip));
    return button;
}

} // namespace

MidiTransportPanelView::MidiTransportPanelView(QWidget* parent, TulvarMidiModel* model)
    : QFrame(parent)
    , WindowRestorationInfo(TransportPanelId)
    , m_model(model)
{
    setFocusPolicy(Qt::ClickFocus);
    setFrameStyle(MacFrameStyle);
    auto* form = new QFormLayout(this);
    form->setSpacing(FormSpacing);

    m_songNumber = new SpinBox(TransportPanelSongNumber, this);
    m_songNumber->setFixedWidth(SpinBoxWidth);
    connect(m_songNumber, &SpinBox::widgetValueChanged, this, &MidiTransportPanelView::songNumberChanged);
    m_songNumberTransmit = new QPushButton(QString::fromUtf8(TransportPanelTransmitText), this);
    connect(m_songNumberTransmit, &QPushButton::pressed, this, &MidiTransportPanelView::songNumberTransmitButtonPressed);
    form->addRow(spinBoxRow(TransportPanelSongNumber, m_songNumber, m_songNumberTransmit, this));

    m_songPosition = new SpinBox(TransportpanelSongPosition, this);
    m_songPosition->setFixedWidth(SpinBoxWidth);
    connect(m_songPosition, &SpinBox::widgetValueChanged, this, &MidiTransportPanelView::songPositionChanged);
    m_songPositionTransmit = new QPushButton(QString::fromUtf8(TransportPanelTransmitText), this);
    connect(m_songPositionTransmit, &QPushButton::pressed, this,
            &MidiTransportPanelView::songPositionTransmitButtnPressed);
    form->addRow(spinBoxRow(TransportpanelSongPosition, m_songPosition, m_songPositionTransmit, this));

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(RowSpacing);
    m_stopButton = makeTransportButton(Images::Stop, TransportPanelStopButtonText, this);
    connect(m_stopButton, &QPushButton::pressed, this, &MidiTransportPanelView::stopButtonPressed);
    m_continueButton = makeTransportButton(Images::Continue, TransportPanelContinueButtonText, this);
    connect(m_continueButton, &QPushButton::pressed, this, &MidiTransportPanelView::playButtonPressed);
    m_startButton = makeTransportButton(Images::Play, TransportPanelStartButtonText, this);
    connect(m_startButton, &QPushButton::pressed, this, &MidiTransportPanelView::playFromFirstButtonPressed);
    for (QWidget* button : {m_stopButton, m_continueButton, m_startButton}) {
        buttons->addWidget(button);
    }
    form->addRow(buttons);

    m_model->setParameterEditFlag(ParameterEditFlagChanged);
}

void MidiTransportPanelView::transmit(std::initializer_list<unsigned char> bytes, unsigned char eventType)
{
    if (MainWindowIF* mainWindow = MainWindowIF::instance()) {
        const std::vector<unsigned char> message(bytes);
        mainWindow->transmitMidi(message.data(), (unsigned short)message.size(), eventType, OutputPortGroupBoth, false);
    }
}

void MidiTransportPanelView::stopButtonPressed()
{
    transmit({TransportPanelStopMessage}, MIDILIB_Event_Type_Stop);
}

void MidiTransportPanelView::playButtonPressed()
{
    transmit({TransportPanelContinueMessage}, MIDILIB_Event_Type_Continue);
}

void MidiTransportPanelView::playFromFirstButtonPressed()
{
    transmit({TransportPanelStartMessage}, MIDILIB_Event_Type_Start);
}

void MidiTransportPanelView::songNumberChanged(int number)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    transmitSongNumber(number);
}

void MidiTransportPanelView::transmitSongNumber(int number)
{
    // Shown as 1..128, sent as 0..127.
    transmit({0xF3, (unsigned char)((number - 1) & 0x7F)}, MIDILIB_Event_Type_SongSelect);
}

void MidiTransportPanelView::songNumberTransmitButtonPressed()
{
    transmitSongNumber(m_songNumber->value());
}

void MidiTransportPanelView::songPositionChanged(int position)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    transmitSongPosition(position);
}

void MidiTransportPanelView::transmitSongPosition(int position)
{
    unsigned char lsb = 0;
    unsigned char msb = 0;
    if (position >= TransportpanelSongPosition.minimum && position <= TransportpanelSongPosition.maximum) {
        lsb = (unsigned char)(position & TransportPanelSongPositionMask);
        msb = (unsigned char)((position & 0x3F80) >> 7);
    }
    transmit({0xF2, lsb, msb}, MIDILIB_Event_Type_SongPositionPointer);
}

void MidiTransportPanelView::songPositionTransmitButtnPressed()
{
    transmitSongPosition(m_songPosition->value());
}

void MidiTransportPanelView::closeEvent(QCloseEvent* event)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    QFrame::closeEvent(event);
}

bool MidiTransportPanelView::getDataStream(QDataStream& stream)
{
    return setIntParameterToStream(stream, SongNumberRecordTag, m_songNumber->value())
        && setIntParameterToStream(stream, SongPositionRecordTag, m_songPosition->value());
}

bool MidiTransportPanelView::setDataStream(QDataStream& stream)
{
    qint32 value = 0;
    if (getIntParameterFromStream(stream, SongNumberRecordTag, value)) {
        m_songNumber->setWidgetValue(value);
    }
    if (getIntParameterFromStream(stream, SongPositionRecordTag, value)) {
        m_songPosition->setWidgetValue(value);
    }
    return stream.status() == QDataStream::Ok;
}
