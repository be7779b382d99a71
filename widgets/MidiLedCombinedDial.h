#pragma once

#include "widgets/Dial.h"

#include <QTimer>

// A Dial with an indicator wedge in the gap below its arc; the timing clock and active sensing
// views flash it on every beat or message.
class MidiLedCombinedDial : public Dial
{
    Q_OBJECT

public:
    explicit MidiLedCombinedDial(QWidget* parent = nullptr);

    void setLedOnColor(QColor const& color);
    void setLedOffColor(QColor const& color);
    QColor ledOnColor() const { return m_ledOnColor; }
    QColor ledOffColor() const { return m_ledOffColor; }
    // With auto-off cleared the LED stays lit until it is switched off.
    void setAutoOff(bool autoOff) { m_autoOff = autoOff; }
    bool autoOff() const { return m_autoOff; }
    int flashLength() const { return m_flashLength; }
    bool isLedOn() const { return m_ledOn; }

public slots:
    void ledOn();
    void ledOff();
    void setLedOn(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_timer;
    QColor m_ledOnColor = Qt::white;
    QColor m_ledOffColor = Qt::black;
    bool m_ledOn = false;
    int m_flashLength = 100;
    bool m_autoOff = true;
};
