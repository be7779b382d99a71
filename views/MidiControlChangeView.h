#pragma once

#include "persistence/ControlChangeWindowRestorationInfo.h"
#include "persistence/FileStream.h"

#include <QFrame>

class Dial;
class QComboBox;
class QPushButton;
class SpinBox;
class TulvarMidiModel;

// Sends a control change whenever its knob turns, for the controller chosen in its list. The
// controller number is the window's restoration value, so a restored window keeps it.
class MidiControlChangeView : public QFrame, public ControlChangeWindowRestorationInfo, public FileStream {
    Q_OBJECT

public:
    MidiControlChangeView(QWidget* parent, unsigned char controllerNumber, TulvarMidiModel* model);
    ~MidiControlChangeView() override;

    bool setDataStream(QDataStream& stream) override;
    bool getDataStream(QDataStream& stream) override;

    SpinBox* channelSpinBox() const { return m_channel; }
    QComboBox* controllerComboBox() const { return m_controller; }
    Dial* valueDial() const { return m_value; }
    QPushButton* transmitButton() const { return m_transmit; }

public slots:
    void updateControlChangeChannel(int value);
    void updateControlChangeValue(int value);
    void controlChangeNumberChanged(int index);
    void transmitButtonPressed();
    void transmitControlChange(int value);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    SpinBox* m_channel;
    QComboBox* m_controller;
    Dial* m_value;
    QPushButton* m_transmit;
    TulvarMidiModel* m_model;
};
