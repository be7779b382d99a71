#pragma once

#include <QPixmap>
#include <QString>

// The images compiled into the program, addressed as ":/images/<file>". They are drawn at
// double resolution (tools/draw_images.cpp).
namespace Images {
inline QString const Open = QStringLiteral(":/images/open.png");
inline QString const Prev = QStringLiteral(":/images/prev.png");
inline QString const Close = QStringLiteral(":/images/close.png");
inline QString const Rx = QStringLiteral(":/images/rx.png");
inline QString const DownArrowButton = QStringLiteral(":/images/down_arrow_button.png");
inline QString const Find = QStringLiteral(":/images/find.png");
inline QString const PlayStop = QStringLiteral(":/images/playstop.png");
inline QString const TxRx = QStringLiteral(":/images/txrx.png");
inline QString const Continue = QStringLiteral(":/images/fb_continue.png");
inline QString const Play = QStringLiteral(":/images/fa_play.png");
inline QString const SevenSegment = QStringLiteral(":/images/7seg.png");
inline QString const Disk = QStringLiteral(":/images/disk.png");
inline QString const File = QStringLiteral(":/images/file.png");
inline QString const Stop = QStringLiteral(":/images/fc_stop.png");
inline QString const UpArrowButton = QStringLiteral(":/images/up_arrow_button.png");
inline QString const About = QStringLiteral(":/images/about.png");
inline QString const Tx = QStringLiteral(":/images/tx.png");
inline QString const Next = QStringLiteral(":/images/next.png");
inline QString const SubwindowIcon = QStringLiteral(":/images/subwindow_icon.png");
} // namespace Images

// Registers the images (qInitResources_tulvarmidi); the program calls it first thing, tests
// that load images call it too. Calls may repeat.
void registerImageResources();
void releaseImageResources();

// A resource image with the device pixel ratio DevicePixelRatio, so that it paints at its
// logical size.
QPixmap loadImage(QString const& path);
