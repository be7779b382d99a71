#include "widgets/MidiTimingClockPlayStopButton.h"

#include <QPainter>

#include <cmath>

namespace {

const int FrameCount = 4;

int roundHalf(double value)
{
    return int(std::round(value));
}

} // namespace

MidiTimingClockPlayStopButton::MidiTimingClockPlayStopButton(QWidget* parent)
    : QPushButton(parent)
{
}

void MidiTimingClockPlayStopButton::setFrameSize(int width, int height)
{
    m_frameWidth = width;
    m_frameHeight = height;
    update();
}

int MidiTimingClockPlayStopButton::getPixmapNumber() const
{
    if (isChecked())
        return isDown() ? 3 : 2;
    return isDown() ? 1 : 0;
}

QPoint MidiTimingClockPlayStopButton::framePosition() const
{
    return QPoint(roundHalf(width() / 2.0) - roundHalf(m_frameWidth / 2.0),
                  roundHalf(height() / 2.0) - roundHalf(m_frameHeight / 2.0 + 1.0));
}

void MidiTimingClockPlayStopButton::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    if (m_strip.isNull() || m_frameWidth < 0)
        return;
    int const frameWidth = m_strip.width() / FrameCount;
    QRect const source(getPixmapNumber() * frameWidth, 0, frameWidth, m_strip.height());
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(framePosition(), m_strip, source);
}
