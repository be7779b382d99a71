#pragma once

#include "persistence/FileStream.h"
#include "persistence/WindowRestorationInfo.h"

#include <QFrame>

class MidiPitchbendSlider;
class QCheckBox;
class QPushButton;
class SpinBox;
class TulvarMidiModel;

// Sends pitch bend from a 128-step wheel and from a signed 14-bit number. Each wheel step gets
// an LSB of its own, so that the top reaches 16383 while the centre stays at 8192.
class MidiPitchbendView : public QFrame, public WindowRestorationInfo, public FileStream {
    Q_OBJECT

public:
    MidiPitchbendView(QWidget* parent, TulvarMidiModel* model);

    static unsigned char calculateLsbFromSliderValue(int slider);
    static int convertPitchBendValueToSliderValue(int displayValue);
    // False (and both bytes 0) for a value outside 0-16383.
    static bool convertPitchBendValueToMsbLsb(int value, unsigned char& msb, unsigned char& lsb);
    // channel 0-15, value 0-16383; nothing is sent for a value outside.
    void transmitPitchbendMessage(unsigned char channel, int value);

    bool setDataStream(QDataStream& stream) override;
    bool getDataStream(QDataStream& stream) override;

    QCheckBox* wheelModeCheckBox() const { return m_wheelMode; }
    SpinBox* channelSpinBox() const { return m_channel; }
    MidiPitchbendSlider* slider() const { return m_slider; }
    SpinBox* displaySpinBox() const { return m_display; }
    QPushButton* transmitButton() const { return m_transmit; }

public slots:
    void sliderValueChanged(int value);
    void updatePitchbendValue(int value);
    void updateChannel(int value);
    void updateWheelMode(bool checked);
    void transmitButtonPressed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    unsigned char channel() const;

    TulvarMidiModel* m_model;
    QCheckBox* m_wheelMode;
    SpinBox* m_channel;
    MidiPitchbendSlider* m_slider;
    SpinBox* m_display;
    QPushButton* m_transmit;
    bool m_updating = false;
};
