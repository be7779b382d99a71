#include "views/MidiFilterView.h"

#include "support/CommonTexts.h"
#include "support/LookConstants.h"
#include "engine/MessageTables.h"
#include "model/TulvarMidiModel.h"
#include "views/MidiFilterDetailView.h"
#include "views/UnstyledCheckBox.h"
#include "views/ViewConstants.h"
#include "widgets/CheckBox.h"
#include "widgets/PushButton.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QStackedWidget>

namespace {

constexpr QSize FilterButtonSize(50, 23);
constexpr QSize AllClearButtonSize(55, 23);
constexpr int ChannelRows = 8;
constexpr int ChannelButtonTop = 20;
constexpr int ChannelButtonPitch = 24;
constexpr int MessageCheckBoxTop = 23;
constexpr int MessageCheckBoxPitch = 22;
constexpr int DetailButtonX = 130;

// The heading rows of the message group: their ">" button's y and the page it shows.
struct HeadingRow {
    MIDIFilter filter;
    int buttonY;
    void (MidiFilterView::*released)();
};
const HeadingRow HeadingRows[] = {
    {MIDIFilterControlChange, 85, &MidiFilterView::releasedControlChangeButton},
    {MIDIFilterSystemCommon, 195, &MidiFilterView::releasedSystemCommonButton},
    {MIDIFilterSystemRealtime, 217, &MidiFilterView::releasedSystemRealtimeButton},
};

const HeadingRow* headingRowOf(int filter)
{
    for (const HeadingRow& row : HeadingRows) {
        if (row.filter == unsigned(filter)) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace

MidiFilterView::MidiFilterView(QWidget* parent, TulvarMidiModel* model)
    : QFrame(parent)
    , CommonViewHelper(model)
    , WindowRestorationInfo(FilterId)
    , m_model(model)
    , m_unstyledCheckBox(new UnstyledCheckBox)
{
    m_unstyledCheckBox->setParent(this);
    setFrameStyle(MacFrameStyle);
    setFixedSize(MidiFilterViewSize);

    createChannelGroup();
    createMessageGroup();

    m_detailPages = new QStackedWidget(this);
    m_detailPages->setGeometry(350, 10, 330, 245);
    m_detailPages->insertWidget(ControlChangePage, new MidiControlChangeFilterView(m_detailPages));
    m_detailPages->insertWidget(SystemCommonPage, new MidiSystemCommonFilterView(m_detailPages));
    m_detailPages->insertWidget(SystemRealtimePage, new MidiSystemRealtimeFilterView(m_detailPages));

    connectModel(this);
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    m_model->registerModelAssistant(this);

    createDisabledOverlay();
    setFilterViewEnabled(m_model->getModelIntValue(MessageParsedParameterId) >= 1);
}

MidiFilterView::~MidiFilterView()
{
    m_model->unregisterModelAssistant(this);
}

void MidiFilterView::createChannelGroup()
{
    auto* group = new QGroupBox(tr(FilterChannelText), this);
    group->setGeometry(10, 10, 120, 245);
    group->setMinimumSize(120, 245);
    for (int channel = 0; channel < ChannelFilterCount; ++channel) {
        auto* button = new PushButton(QString::number(channel + 1), group);
        button->setCheckable(true);
        button->setGeometry(channel < ChannelRows ? 10 : 60, ChannelButtonTop + ChannelButtonPitch * (channel % ChannelRows),
                            FilterButtonSize.width(), FilterButtonSize.height());
        button->setParameterId(ChannelFilterParameterId + unsigned(channel));
        m_channelButtons.append(button);
    }
    auto* all = new QPushButton(tr(FilterAllText), group);
    all->setGeometry(8, 214, AllClearButtonSize.width(), AllClearButtonSize.height());
    connect(all, &QPushButton::released, this, &MidiFilterView::releasedAllButton);
    auto* none = new QPushButton(tr(FilterNoneText), group);
    none->setGeometry(58, 214, AllClearButtonSize.width(), AllClearButtonSize.height());
    connect(none, &QPushButton::released, this, &MidiFilterView::releasedNoneButton);
}

void MidiFilterView::createMessageGroup()
{
    auto* group = new QGroupBox(tr(FilterMessageText), this);
    group->setGeometry(150, 10, 180, 245);
    group->setMinimumSize(180, 245);
    for (int index = 0; index < int(MIDIFilterCount); ++index) {
        auto* box = new CheckBox(QString::fromUtf8(MIDIFilterNameList[index]), group);
        box->move(10, MessageCheckBoxTop + MessageCheckBoxPitch * index);
        box->setParameterId(MessageTypeFilterParameterId + unsigned(index));
        // Headings of the detail pages: a label without indicator and its page's ">" button.
        if (const HeadingRow* heading = headingRowOf(index)) {
            box->setStyle(m_unstyledCheckBox);
            box->setFocusPolicy(Qt::NoFocus);
            auto* arrow = new QPushButton(QString::fromUtf8(FilterRightArrow), group);
            arrow->setGeometry(DetailButtonX, heading->buttonY, FilterButtonSize.width(), FilterButtonSize.height());
            connect(arrow, &QPushButton::released, this, heading->released);
        }
        box->adjustSize();
        m_messageCheckBoxes.append(box);
    }
}

void MidiFilterView::createDisabledOverlay()
{
    m_disabledOverlay = new QWidget(this);
    m_disabledOverlay->setGeometry(0, 0, MidiFilterViewSize.width(), MidiFilterViewSize.height());
    m_disabledOverlay->setAutoFillBackground(true);
    QPalette overlayPalette = m_disabledOverlay->palette();
    overlayPalette.setColor(QPalette::Window, DisabledViewColor);
    m_disabledOverlay->setPalette(overlayPalette);

    auto* message = new QLabel(DisabledFunctionMessage.arg(tr(FilterFunctionName)), m_disabledOverlay);
    message->setGeometry(m_disabledOverlay->rect());
    message->setAlignment(Qt::AlignCenter);
    QPalette messagePalette = message->palette();
    messagePalette.setColor(QPalette::WindowText, DisabledViewMessageTextColor);
    // A disabled view greys its children's text; the message must stay readable.
    messagePalette.setColor(QPalette::Disabled, QPalette::WindowText, DisabledViewMessageTextColor);
    message->setPalette(messagePalette);
    m_disabledOverlay->hide();
}

void MidiFilterView::setFilterViewEnabled(bool enabled)
{
    setEnabled(enabled);
    if (!enabled) {
        m_disabledOverlay->raise();
    }
    m_disabledOverlay->setVisible(!enabled);
}

void MidiFilterView::updateParameter(unsigned int id)
{
    if (id == MessageParsedParameterId) {
        setFilterViewEnabled(m_model->getModelIntValue(MessageParsedParameterId) >= 1);
    }
}

bool MidiFilterView::setDataStream(QDataStream&)
{
    return true;
}

bool MidiFilterView::getDataStream(QDataStream&)
{
    return true;
}

void MidiFilterView::releasedAllButton()
{
    setAllChannels(1);
}

void MidiFilterView::releasedNoneButton()
{
    setAllChannels(0);
}

// Written through each button's connection, so the model and every other bound control follow.
void MidiFilterView::setAllChannels(int value)
{
    for (PushButton* button : qAsConst(m_channelButtons)) {
        button->setCurrentValue(value);
    }
}

void MidiFilterView::releasedControlChangeButton()
{
    m_detailPages->setCurrentIndex(ControlChangePage);
}

void MidiFilterView::releasedSystemCommonButton()
{
    m_detailPages->setCurrentIndex(SystemCommonPage);
}

void MidiFilterView::releasedSystemRealtimeButton()
{
    m_detailPages->setCurrentIndex(SystemRealtimePage);
}

void MidiFilterView::closeEvent(QCloseEvent* event)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    QFrame::closeEvent(event);
}
