#pragma once

#include "persistence/FileStream.h"
#include "persistence/WindowRestorationInfo.h"

#include <QFrame>

class Dial;
class LineEdit;
class MidiEditTransmittionThread;
class QPushButton;
class SpinBox;
class TulvarMidiModel;

// One message in hexadecimal text whose target byte (1-based, 0 for none) the knob replaces
// before the whole message goes out, so that any byte of a device's message can be swept by
// hand. The knob turns grey while the message has no such byte. Bytes may be separated by
// blanks and commas in any mix.
class MidiCustomMidiMessageView : public QFrame, public WindowRestorationInfo, public FileStream {
    Q_OBJECT

public:
    MidiCustomMidiMessageView(QWidget* parent, TulvarMidiModel* model);
    ~MidiCustomMidiMessageView() override;

    bool isTransmittable() const;
    // Where a cursor at pos points: just after a separator that a byte follows, into that byte.
    static int calculateTargetPositionFrom(int pos, const QString& text);
    void updateKnobColor();
    void transmitMessage();

    bool eventFilter(QObject* watched, QEvent* event) override;
    bool setDataStream(QDataStream& stream) override;
    bool getDataStream(QDataStream& stream) override;

    LineEdit* nameEdit() const { return m_name; }
    Dial* valueKnob() const { return m_valueKnob; }
    LineEdit* messageEdit() const { return m_message; }
    SpinBox* targetSpinBox() const { return m_knobTargetByte; }
    QPushButton* transmitButton() const { return m_transmitButton; }
    MidiEditTransmittionThread* transmitter() const { return m_transmitter; }

public slots:
    void nameChanged();
    void valueChanged();
    void messageChanged();
    void knobTargetByteChanged();
    void transmitButtonPressed();
    void knobTargetByteMenuSelected();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TulvarMidiModel* m_model;
    LineEdit* m_name;
    Dial* m_valueKnob;
    LineEdit* m_message;
    SpinBox* m_knobTargetByte;
    QPushButton* m_transmitButton;
    MidiEditTransmittionThread* m_transmitter = nullptr;
    bool m_transmittable = false;
};
