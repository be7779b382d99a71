#pragma once

// Images for widgets that show one frame of a strip: frames side by side, each filled with one
// colour, at double resolution as the program's own images are.

#include <QColor>
#include <QList>
#include <QPainter>
#include <QPixmap>
#include <QSize>

inline QPixmap frameStrip(QList<QColor> const& colours, QSize const& frame)
{
    QPixmap strip(colours.size() * frame.width() * 2, frame.height() * 2);
    QPainter painter(&strip);
    for (int i = 0; i < colours.size(); ++i)
        painter.fillRect(i * frame.width() * 2, 0, frame.width() * 2, frame.height() * 2, colours[i]);
    painter.end();
    strip.setDevicePixelRatio(2.0);
    return strip;
}

inline QPixmap frameStrip(QList<QColor> const& colours, int side)
{
    return frameStrip(colours, QSize(side, side));
}
