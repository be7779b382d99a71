#pragma once

#include <QWidget>

class QComboBox;
class SpinBox;

// The row above the keyboard: channel, velocity and pressure mode.
class MidiKeyboardUpperView : public QWidget {
    Q_OBJECT

public:
    explicit MidiKeyboardUpperView(QWidget* parent);

    // 0-15: the shown channel minus 1.
    unsigned char getChannel() const;
    unsigned char getVelocity() const;
    // 0 Off, 1 Channel, 2 Key.
    unsigned char getPressureIndex() const;

    SpinBox* channelSpinBox() const { return m_channel; }
    SpinBox* velocitySpinBox() const { return m_velocity; }
    QComboBox* pressureComboBox() const { return m_pressure; }

    // 430 x 40, wider when the labels' texts need it.
    QSize sizeHint() const override;

private:
    SpinBox* m_channel;
    SpinBox* m_velocity;
    QComboBox* m_pressure;
    int m_width = 0;
};
