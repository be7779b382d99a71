#include "views/MidiCustomMidiMessageView.h"

#include "support/LookConstants.h"
#include "support/Utility.h"
#include "support/ValueRange.h"
#include "engine/MidiEditTransmittionThread.h"
#include "model/TulvarMidiModel.h"
#include "views/MainWindowIF.h"
#include "views/ToolViewKnob.h"
#include "views/ViewConstants.h"
#include "widgets/Dial.h"
#include "widgets/LineEdit.h"
#include "widgets/SpinBox.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegExp>
#include <QRegExpValidator>
#include <QVBoxLayout>

namespace {

constexpr qint32 NameRecordTag = 0;
constexpr qint32 ValueRecordTag = 1;
constexpr qint32 MessageRecordTag = 2;
constexpr qint32 TargetRecordTag = 3;
constexpr int LayoutSpacing = 5;
constexpr int LabelWidth = 60;
constexpr int TargetLabelWidth = 120;

QString cleaned(QString text)
{
    return text.remove(QRegExp(QString::fromUtf8(RegExpOfUunnecessaryCharacterForCustomMessage)));
}

bool isSeparator(QChar character)
{
    return character == QLatin1Char(' ') || character == QLatin1Char(',');
}

// The 1-based number of the byte that the first characters of text reach into (halves upward).
int byteNumberOf(const QString& text, int characters)
{
    return (cleaned(text.left(characters)).length() + 1) / 2;
}

QHBoxLayout* labelledRow(const char* text, int labelWidth, QWidget* field, QWidget* parent)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setFixedWidth(labelWidth);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(field);
    return row;
}

} // namespace

MidiCustomMidiMessageView::MidiCustomMidiMessageView(QWidget* parent, TulvarMidiModel* model)
    : QFrame(parent)
    , WindowRestorationInfo(CustomMidiMessageId)
    , m_model(model)
{
    setFocusPolicy(Qt::ClickFocus);
    setFrameStyle(MacFrameStyle);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(LayoutSpacing);

    m_name = new LineEdit(QString(), this);
    m_name->setMaxLength(CustomMIDIMessageNameMaxLength);
    connect(m_name, &QLineEdit::textChanged, this, &MidiCustomMidiMessageView::nameChanged);
    layout->addLayout(labelledRow(CustomMIDIMessageNameLabel, LabelWidth, m_name, this));

    m_valueKnob = new Dial(this);
    setUpToolViewKnob(m_valueKnob, CustomMIDIMessageValue, model);
    connect(m_valueKnob, &Dial::valueChanged, this, &MidiCustomMidiMessageView::valueChanged);
    layout->addWidget(m_valueKnob);

    m_message = new LineEdit(QString(), this);
    m_message->setValidator(new QRegExpValidator(QRegExp(QString::fromUtf8(CustomMIDIMessageValidatorPattern)), m_message));
    m_message->setMaxLength(CustomMIDIMessageMaxLength);
    connect(m_message, &QLineEdit::textChanged, this, &MidiCustomMidiMessageView::messageChanged);
    m_message->installEventFilter(this);
    layout->addLayout(labelledRow(CustomMIDIMessageMessageLabel, LabelWidth, m_message, this));

    m_knobTargetByte = new SpinBox(this);
    m_knobTargetByte->setRange(CustomMIDIMessageKnobTargetByte.minimum, CustomMIDIMessageKnobTargetByte.maximum);
    m_knobTargetByte->setDefaultValue(CustomMIDIMessageKnobTargetByte.defaultValue);
    m_knobTargetByte->setWidgetValue(CustomMIDIMessageKnobTargetByte.defaultValue);
    m_knobTargetByte->setAlignment(Qt::AlignRight);
    connect(m_knobTargetByte, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &MidiCustomMidiMessageView::knobTargetByteChanged);
    layout->addLayout(labelledRow(CustomMIDIMessageKnobTargetByteLabel, TargetLabelWidth, m_knobTargetByte, this));

    m_transmitButton = new QPushButton(QString::fromUtf8(CustomMIDIMessageTransmitText), this);
    connect(m_transmitButton, &QPushButton::pressed, this, &MidiCustomMidiMessageView::transmitButtonPressed);
    layout->addWidget(m_transmitButton);

    updateKnobColor();
    m_model->setParameterEditFlag(ParameterEditFlagChanged);

    if (MainWindowIF* mainWindow = MainWindowIF::instance()) {
        m_transmitter = new MidiEditTransmittionThread(this, model, mainWindow);
        m_transmitter->setBulkIntervalIgnored(true);
        m_transmitter->setPriority(QThread::TimeCriticalPriority);
    }
}

MidiCustomMidiMessageView::~MidiCustomMidiMessageView()
{
    delete m_transmitter;
    m_model->unregisterDial(m_valueKnob);
}

bool MidiCustomMidiMessageView::isTransmittable() const
{
    const int target = m_knobTargetByte->value();
    const QString text = m_message->text();
    return target != 0 && !text.isEmpty() && cleaned(text).length() / 2 >= target;
}

int MidiCustomMidiMessageView::calculateTargetPositionFrom(int pos, const QString& text)
{
    if (pos < 1 || pos >= text.length()) {
        return pos;
    }
    // A cursor before the last character has nothing after the next one: that counts as no
    // separator, as in a byte cut short.
    const bool separatorFollows = pos + 1 < text.length() && isSeparator(text.at(pos + 1));
    return isSeparator(text.at(pos - 1)) && !separatorFollows ? pos + 1 : pos;
}

void MidiCustomMidiMessageView::updateKnobColor()
{
    m_transmittable = isTransmittable();
    if (m_transmittable) {
        m_valueKnob->setArcColors(StartGradientColorOfKnobMeter, EndGradientColorOfKnobMeter);
    } else {
        m_valueKnob->setArcColors(Qt::gray, Qt::white);
    }
    m_valueKnob->update();
}

void MidiCustomMidiMessageView::transmitMessage()
{
    const QString text = m_message->text();
    if (text.isEmpty() || m_transmitter == nullptr) {
        return;
    }
    QString message = cleaned(text);
    const int target = m_knobTargetByte->value();
    if (target >= 1 && target <= message.length() / 2) {
        char digits[3];
        Utility::convertHexStringFromDecimalValue(digits, (unsigned char)m_valueKnob->value());
        message.replace(2 * target - 2, 2, QString::fromLatin1(digits));
    }
    m_transmitter->setTransmittionMessage(message);
}

void MidiCustomMidiMessageView::valueChanged()
{
    if (m_transmittable) {
        transmitMessage();
    }
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
}

void MidiCustomMidiMessageView::transmitButtonPressed()
{
    transmitMessage();
}

void MidiCustomMidiMessageView::messageChanged()
{
    updateKnobColor();
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
}

void MidiCustomMidiMessageView::knobTargetByteChanged()
{
    updateKnobColor();
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
}

void MidiCustomMidiMessageView::nameChanged()
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
}

bool MidiCustomMidiMessageView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_message || event->type() != QEvent::ContextMenu) {
        return QFrame::eventFilter(watched, event);
    }
    const QString text = m_message->text();
    QString byteText = QString::fromUtf8(CustomMIDIMessageNoByteText);
    if (!text.isEmpty()) {
        const int byteNumber = byteNumberOf(text, calculateTargetPositionFrom(m_message->cursorPosition(), text));
        byteText = cleaned(text).mid(byteNumber == 0 ? 0 : 2 * byteNumber - 2, 2);
    }
    QMenu* menu = m_message->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    QAction* action = menu->addAction(QString::fromUtf8(SetMessageByteToKnobTargetByteMenu).arg(byteText));
    connect(action, &QAction::triggered, this, &MidiCustomMidiMessageView::knobTargetByteMenuSelected);
    action->setEnabled(!text.isEmpty() && byteText.length() >= 2);
    menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
    return true;
}

void MidiCustomMidiMessageView::knobTargetByteMenuSelected()
{
    const QString text = m_message->text();
    const int pos = calculateTargetPositionFrom(m_message->cursorPosition(), text);
    m_knobTargetByte->setWidgetValue(pos > 0 ? byteNumberOf(text, pos) : 1);
}

void MidiCustomMidiMessageView::closeEvent(QCloseEvent* event)
{
    m_model->setParameterEditFlag(ParameterEditFlagChanged);
    if (m_transmitter != nullptr) {
        m_transmitter->stopTransmittion();
    }
    QFrame::closeEvent(event);
}

bool MidiCustomMidiMessageView::getDataStream(QDataStream& stream)
{
    // An empty name or message still writes its record; the string records' own results only
    // report emptiness, which must not fail the save.
    setStringParameterToStream(stream, NameRecordTag, m_name->text());
    setIntParameterToStream(stream, ValueRecordTag, m_valueKnob->value());
    setStringParameterToStream(stream, MessageRecordTag, m_message->text());
    setIntParameterToStream(stream, TargetRecordTag, m_knobTargetByte->value());
    return stream.status() == QDataStream::Ok;
}

bool MidiCustomMidiMessageView::setDataStream(QDataStream& stream)
{
    QString text;
    qint32 value = 0;
    if (getStringParameterFromStream(stream, NameRecordTag, text)) {
        m_name->setText(text);
        m_name->setCursorPosition(0);
    }
    if (getIntParameterFromStream(stream, ValueRecordTag, value)) {
        m_valueKnob->setValue(value);
    }
    if (getStringParameterFromStream(stream, MessageRecordTag, text)) {
        m_message->setText(text);
        m_message->setCursorPosition(0);
    }
    if (getIntParameterFromStream(stream, TargetRecordTag, value)) {
        m_knobTargetByte->setWidgetValue(value);
    }
    return stream.status() == QDataStream::Ok;
}
