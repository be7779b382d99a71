#pragma once

#include <QWidget>

// The vertical pitch bend wheel: springs back to its rest value on release (SpringBack) or stays
// where it is left (Hold). Higher on the widget is a larger value.
class MidiPitchbendSlider : public QWidget
{
    Q_OBJECT

public:
    enum WheelMode { SpringBack = 0, Hold = 1 };

    explicit MidiPitchbendSlider(QWidget* parent = nullptr);

    int value() const { return m_value; }
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int restValue() const { return m_restValue; }
    WheelMode wheelMode() const { return m_wheelMode; }

    void setRange(int minimum, int maximum);
    void setRestValue(int value) { m_restValue = value; }
    void setWheelMode(WheelMode mode);

    // Value units per pixel of the track (the widget height minus the thumb).
    double scale() const;
    int convertMousePointToValue(int y) const;
    // Top of the thumb for the current value.
    int thumbTop() const;

public slots:
    void setValue(int value);

signals:
    void valueChanged(int value);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int trackLength() const;

    int m_restValue = 64;
    WheelMode m_wheelMode = SpringBack;
    int m_value = 64;
    int m_minimum = 0;
    int m_maximum = 127;
};
