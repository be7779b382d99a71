#include "views/MidiPCKeyboardView.h"

#include "support/LookConstants.h"
#include "model/TulvarMidiModel.h"
#include "views/ViewConstants.h"
#include "widgets/CheckBox.h"
#include "widgets/SpinBox.h"

#include <QCloseEvent>
#include <QLabel>

MidiPCKeyboardView::MidiPCKeyboardView(QWidget* parent, TulvarMidiModel* model)
    : QFrame(parent)
    , CommonViewHelper(model)
    , WindowRestorationInfo(PCKeyboardId)
    , m_model(model)
{
    setFocusPolicy(Qt::ClickFocus);
    setFrameStyle(MacFrameStyle);
    setFixedSize(MidiPCKeyboardViewSize);

    m_enable = new CheckBox(model->getModelParameterName(PCKeyboardEnableParameterId), this);
    m_enable->setGeometry(10, 22, 100, 20);
    m_enable->setParameterId(PCKeyboardEnableParameterId);
    m_octave = addSpinBox(PCKeyboardOctaveParameterId, 52);
    m_channel = addSpinBox(PCKeyboardChannelParameterId, 82);
    m_velocity = addSpinBox(PCKeyboardVelocityParameterId, 112);

    connectModel(this);
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
}

// A label with the parameter's name and, beside it, its spin box.
SpinBox* MidiPCKeyboardView::addSpinBox(unsigned int parameterId, int y)
{
    auto* label = new QLabel(m_model->getModelParameterName(parameterId), this);
    label->setGeometry(13, y, 100, 30);
    auto* spinBox = new SpinBox(this);
    spinBox->setGeometry(100, y + 5, 95, 25);
    spinBox->setAlignment(Qt::AlignRight);
    spinBox->setParameterId(parameterId);
    return spinBox;
}

bool MidiPCKeyboardView::setDataStream(QDataStream&)
{
    return true;
}

bool MidiPCKeyboardView::getDataStream(QDataStream&)
{
    return true;
}

void MidiPCKeyboardView::closeEvent(QCloseEvent* event)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    QFrame::closeEvent(event);
}
