#include "widgets/MidiLedCombinedDial.h"

#include <QPainter>

namespace {

// The wedge fills the gap below the arc, one degree wider so that no seam shows.
const int LedStartAngle = 240 * 16;
const int LedSpanAngle = 61 * 16;

} // namespace

MidiLedCombinedDial::MidiLedCombinedDial(QWidget* parent)
    : Dial(parent)
    , m_timer(this)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &MidiLedCombinedDial::ledOff);
}

void MidiLedCombinedDial::setLedOnColor(QColor const& color)
{
    m_ledOnColor = color;
    update();
}

void MidiLedCombinedDial::setLedOffColor(QColor const& color)
{
    m_ledOffColor = color;
    update();
}

void MidiLedCombinedDial::ledOn()
{
    setLedOn(true);
}

void MidiLedCombinedDial::ledOff()
{
    // A flash still pending must not switch off a light lit after it.
    m_timer.stop();
    m_ledOn = false;
    update();
}

void MidiLedCombinedDial::setLedOn(bool on)
{
    if (!on) {
        ledOff();
        return;
    }
    // A flash already showing is not extended: the beat light keeps its rhythm.
    if (m_ledOn)
        return;
    m_ledOn = true;
    update();
    if (m_autoOff)
        m_timer.start(m_flashLength);
}

void MidiLedCombinedDial::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::transparent);
        painter.setBrush(m_ledOn ? m_ledOnColor : m_ledOffColor);
        painter.drawPie(getArcRect(), LedStartAngle, LedSpanAngle);
    }
    Dial::paintEvent(event);
}
