#include "views/MidiSettingsView.h"

#include "support/CommonTexts.h"
#include "support/LookConstants.h"
#include "midi/MidiConstants.h"
#include "model/TulvarMidiModel.h"
#include "views/ViewConstants.h"
#include "widgets/CheckBox.h"
#include "widgets/ComboBox.h"
#include "widgets/SpinBox.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>

namespace {

constexpr int InputComboX = 25;
constexpr int OutputComboX = 260;
constexpr QSize PortComboSize(190, 30);
constexpr int ThruCheckBoxX = 229;
constexpr QSize ThruCheckBoxSize(20, 20);

// One row of the port group: its label, combo y, the parameters of its widgets.
struct PortRow {
    const char* label;
    int y;
    unsigned int inputId;
    unsigned int thruId;
    unsigned int outputId;
};
const PortRow PortRows[] = {
    {"1", 40, InputPortIndexParameterId, MidiThruParameterId, OutputPortIndexParameterId},
    {"2", 75, InputPortIndexSecondParameterId, MidiThruSecondParameterId, OutputPortIndexSecondParameterId},
};

using PortDirection = MidiSettingsView::PortDirection;

int directionIndex(PortDirection direction)
{
    return direction == PortDirection::Input ? 0 : 1;
}

} // namespace

MidiSettingsView::MidiSettingsView(QWidget* parent, TulvarMidiModel* model)
    : QFrame(parent)
    , CommonViewHelper(model)
    , WindowRestorationInfo(MidiSettingsId)
    , m_model(model)
{
    setFocusPolicy(Qt::ClickFocus);
    setFrameStyle(MacFrameStyle);

    auto* layout = new QHBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* scrollArea = new QScrollArea(this);
    layout->addWidget(scrollArea);
    auto* panel = new QWidget;
    panel->setFixedSize(MIDISettingsViewPanelSize);

    auto* ports = new QGroupBox(tr(MIDIPortGroupBoxName), panel);
    ports->setGeometry(18, 10, 463, 145);
    auto* inputLabel = new QLabel(tr(InputPortText), ports);
    inputLabel->setGeometry(InputComboX, 17, 190, 30);
    inputLabel->setAlignment(Qt::AlignCenter);
    auto* thruLabel = new QLabel(tr(ThruText), ports);
    thruLabel->setGeometry(225, 17, 30, 30);
    thruLabel->setAlignment(Qt::AlignVCenter);
    auto* outputLabel = new QLabel(tr(OutputPortText), ports);
    outputLabel->setGeometry(OutputComboX, 17, 190, 30);
    outputLabel->setAlignment(Qt::AlignCenter);

    for (unsigned int group = 0; group < 2; ++group) {
        const PortRow& row = PortRows[group];
        auto* number = new QLabel(QString::fromLatin1(row.label), ports);
        number->setGeometry(2, row.y, 20, 30);
        for (PortDirection direction : {PortDirection::Input, PortDirection::Output}) {
            auto* combo = new ComboBox(ports);
            combo->setGeometry(direction == PortDirection::Input ? InputComboX : OutputComboX, row.y,
                               PortComboSize.width(), PortComboSize.height());
            combo->setParameterId(direction == PortDirection::Input ? row.inputId : row.outputId);
            m_portComboBoxes[directionIndex(direction)][group] = combo;
        }
        auto* thru = new CheckBox(ports);
        thru->setGeometry(ThruCheckBoxX, row.y + 5, ThruCheckBoxSize.width(), ThruCheckBoxSize.height());
        thru->setParameterId(row.thruId);
    }
    auto* update = new QPushButton(tr(UpdatePortListText), ports);
    update->setGeometry(256, 108, 150, 34);
    connect(update, &QPushButton::pressed, this, &MidiSettingsView::updatePortListPressed);

    m_bulkIntervalLabel = new QLabel(m_model->getModelParameterName(BulkIntervalParameterId), panel);
    m_bulkIntervalLabel->setGeometry(19, 165, 113, 30);
    // Two lines where the name is wider than its place (monospace fonts).
    m_bulkIntervalLabel->setWordWrap(true);
    m_bulkIntervalSpinBox = new SpinBox(panel);
    m_bulkIntervalSpinBox->setGeometry(140, 168, 100, 25);
    m_bulkIntervalSpinBox->setAlignment(Qt::AlignRight);
    m_bulkIntervalSpinBox->setParameterId(BulkIntervalParameterId);

    scrollArea->setWidget(panel);

    connectModel(this);
    // Filled once bound, so that the port index parameters take up the ports actually open.
    updatePortListPressed();
    for (PortDirection direction : {PortDirection::Input, PortDirection::Output}) {
        for (unsigned int group = 0; group < 2; ++group) {
            // activated: only the user's choices, not the lists being rebuilt.
            connect(portComboBox(direction, group), QOverload<int>::of(&QComboBox::activated), this,
                    [this, direction, group](int index) { portListChanged(direction, group, index); });
        }
    }
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    m_model->registerModelAssistant(this);
    setBulkIntervalWidgetEnabled(m_model->getModelIntValue(MessageParsedParameterId) >= 1);
}

MidiSettingsView::~MidiSettingsView()
{
    m_model->unregisterModelAssistant(this);
}

void MidiSettingsView::createPortList(PortDirection direction, unsigned int group, ComboBox* combo)
{
    combo->clear();
    QStringList names;
    unsigned int current = 0;
    MainWindowIF* mainWindow = MainWindowIF::instance();
    if (mainWindow != nullptr) {
        mainWindow->getPortList(direction, group, names, current);
        if (current == 0) {
            mainWindow->closePort(direction, group);
        }
    }
    combo->addItems(names);
    combo->setCurrentIndex(int(current));
}

unsigned int MidiSettingsView::convertComboBoxIndexToPortIndex(int index)
{
    return index > 0 ? unsigned(index - 1) : InvalidPortIndex;
}

void MidiSettingsView::portListChanged(PortDirection direction, unsigned int group, int index)
{
    MainWindowIF* mainWindow = MainWindowIF::instance();
    if (mainWindow == nullptr) {
        return;
    }
    if (!mainWindow->selectPort(direction, group, convertComboBoxIndexToPortIndex(index))) {
        m_portComboBoxes[directionIndex(direction)][group]->setCurrentIndex(0);
    }
}

void MidiSettingsView::updatePortListPressed()
{
    for (PortDirection direction : {PortDirection::Input, PortDirection::Output}) {
        for (unsigned int group = 0; group < 2; ++group) {
            createPortList(direction, group, m_portComboBoxes[directionIndex(direction)][group]);
        }
    }
}

ComboBox* MidiSettingsView::portComboBox(PortDirection direction, unsigned int group) const
{
    return group < 2 ? m_portComboBoxes[directionIndex(direction)][group] : nullptr;
}

void MidiSettingsView::setBulkIntervalWidgetEnabled(bool enabled)
{
    const QString tip = enabled ? QString() : DisabledFunctionMessage.arg(tr(BulkIntervalFunctionName));
    for (QWidget* widget : {static_cast<QWidget*>(m_bulkIntervalLabel), static_cast<QWidget*>(m_bulkIntervalSpinBox)}) {
        widget->setEnabled(enabled);
        widget->setToolTip(tip);
    }
}

void MidiSettingsView::updateParameter(unsigned int id)
{
    if (id == MessageParsedParameterId) {
        setBulkIntervalWidgetEnabled(m_model->getModelIntValue(MessageParsedParameterId) >= 1);
    }
}

bool MidiSettingsView::setDataStream(QDataStream&)
{
    return true;
}

bool MidiSettingsView::getDataStream(QDataStream&)
{
    return true;
}

void MidiSettingsView::closeEvent(QCloseEvent* event)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    QFrame::closeEvent(event);
}
