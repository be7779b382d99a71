#pragma once

#include <QPixmap>
#include <QPushButton>

// The timing clock's play/stop button: a standard button with one of four frames of an image
// strip on top (off, off pressed, on, on pressed).
class MidiTimingClockPlayStopButton : public QPushButton
{
    Q_OBJECT

public:
    explicit MidiTimingClockPlayStopButton(QWidget* parent = nullptr);

    void setPixmap(QPixmap const& strip) { m_strip = strip; update(); }
    QPixmap const& pixmap() const { return m_strip; }
    // Logical size of one frame; the width is -1 until set.
    void setFrameSize(int width, int height);
    QSize frameSize() const { return QSize(m_frameWidth, m_frameHeight); }

    int getPixmapNumber() const;
    // Where the frame's top-left corner goes, for the current widget size.
    QPoint framePosition() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_strip;
    int m_frameWidth = -1;
    int m_frameHeight = -1;
};
