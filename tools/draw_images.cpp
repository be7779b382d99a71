// Draws the program's 19 images at double resolution (device pixel ratio 2.0) in one style:
// round-capped slate line icons with a teal accent, greyed for the disabled state.
// Usage: draw_images <image folder> [<icon theme folder>]
// With a second folder it also draws the application icon into <folder>/<size>x<size>/apps/.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <cstdio>
#include <functional>

namespace {

QColor const Slate(46, 52, 64);
QColor const Teal(31, 138, 158);
QColor const TealDark(18, 96, 112);
QColor const Greyed(176, 180, 186);
QColor const Paper(250, 250, 250);

// Icons are drawn in a 32 x 32 logical box; the painter is scaled to image pixels.
using Icon = std::function<void(QPainter&, QColor const& ink, QColor const& accent)>;

QPen linePen(QColor const& color, qreal width = 2.0)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Solid shapes without an outline.
void fillWith(QPainter& p, QColor const& color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
}

// An image of width x height logical pixels, drawn antialiased at device pixel ratio 2.
QImage drawn(int width, int height, std::function<void(QPainter&)> const& draw)
{
    QImage image(width * 2, height * 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(2.0, 2.0);
    draw(painter);
    return image;
}

// count frames of frameWidth x height logical pixels side by side, each drawn from its own origin.
QImage strip(int count, int frameWidth, int height, std::function<void(QPainter&, int frame)> const& draw)
{
    return drawn(count * frameWidth, height, [&](QPainter& p) {
        for (int frame = 0; frame < count; ++frame) {
            p.save();
            p.translate(frameWidth * frame, 0);
            draw(p, frame);
            p.restore();
        }
    });
}

// A 32 x 32 tool button image: left half normal, right half disabled.
QImage toolStrip(Icon const& icon)
{
    return strip(2, 32, 32, [&](QPainter& p, int frame) {
        icon(p, frame == 0 ? Slate : Greyed, frame == 0 ? Teal : Greyed);
    });
}

// A push button image of w x h logical pixels: left half off, right half on (pressed).
QImage buttonStrip(int width, int height, Icon const& icon)
{
    return strip(2, width, height, [&](QPainter& p, int frame) {
        icon(p, frame == 0 ? Slate : TealDark, frame == 0 ? Slate : Teal);
    });
}

// A path through points, closed back to the first when asked.
QPainterPath pathThrough(std::initializer_list<QPointF> points, bool closed)
{
    QPainterPath path;
    path.moveTo(*points.begin());
    for (auto point = points.begin() + 1; point != points.end(); ++point) {
        path.lineTo(*point);
    }
    if (closed) {
        path.closeSubpath();
    }
    return path;
}

void drawDinSocket(QPainter& p, QPointF centre, qreal radius, QColor const& ink, QColor const& accent)
{
    p.setPen(linePen(ink, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, radius, radius);
    fillWith(p, accent);
    // Five pins on the upper half circle and the key notch below, as on a MIDI socket.
    for (int i = 0; i < 5; ++i) {
        qreal const angle = qDegreesToRadians(45.0 * i);
        QPointF const pin = centre + QPointF(qCos(angle), -qSin(angle)) * radius * 0.55;
        p.drawEllipse(pin, radius * 0.12, radius * 0.12);
    }
    p.drawRoundedRect(QRectF(centre.x() - radius * 0.18, centre.y() + radius * 0.62, radius * 0.36,
                             radius * 0.22), 1, 1);
}

void drawArrow(QPainter& p, QPointF from, QPointF to, QColor const& color)
{
    p.setPen(linePen(color, 2.2));
    p.drawLine(from, to);
    QPointF const direction = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    QPointF const normal(-direction.y(), direction.x());
    p.drawLine(to, to - direction * 4 + normal * 3.5);
    p.drawLine(to, to - direction * 4 - normal * 3.5);
}

void filePage(QPainter& p, QColor const& ink, QColor const& accent)
{
    p.setPen(linePen(ink));
    p.setBrush(Paper);
    p.drawPath(pathThrough({{9, 5}, {19, 5}, {24, 10}, {24, 27}, {9, 27}}, true));
    p.drawPolyline(QPolygonF({QPointF(19, 5), QPointF(19, 10), QPointF(24, 10)}));
    p.setPen(linePen(accent, 1.6));
    for (int y : {15, 19, 23}) {
        p.drawLine(QPointF(12.5, y), QPointF(20.5, y));
    }
}

void openFolder(QPainter& p, QColor const& ink, QColor const& accent)
{
    p.setPen(linePen(ink));
    p.setBrush(Paper);
    p.drawPath(pathThrough({{4, 25}, {4, 8}, {11, 8}, {13, 10.5}, {24, 10.5}, {24, 14}}, false));
    p.setBrush(accent);
    p.drawPath(pathThrough({{4, 25}, {8.5, 14}, {28.5, 14}, {24, 25}}, true));
}

void disk(QPainter& p, QColor const& ink, QColor const& accent)
{
    p.setPen(linePen(ink));
    p.setBrush(Paper);
    p.drawPath(pathThrough({{6, 6}, {22, 6}, {26, 10}, {26, 26}, {6, 26}}, true));
    p.setBrush(accent);
    p.drawRect(QRectF(10, 6, 10, 6.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(10, 17, 12, 9), 1, 1);
}

void transmit(QPainter& p, QColor const& ink, QColor const& accent)
{
    drawDinSocket(p, QPointF(11, 16), 8, ink, ink);
    drawArrow(p, QPointF(19, 16), QPointF(29, 16), accent);
}

void receive(QPainter& p, QColor const& ink, QColor const& accent)
{
    drawDinSocket(p, QPointF(21, 16), 8, ink, ink);
    drawArrow(p, QPointF(3, 16), QPointF(12.5, 16), accent);
}

void transmitReceive(QPainter& p, QColor const& ink, QColor const& accent)
{
    drawDinSocket(p, QPointF(16, 16), 7, ink, ink);
    drawArrow(p, QPointF(22.5, 11), QPointF(30, 11), accent);
    drawArrow(p, QPointF(30, 21), QPointF(22.5, 21), accent);
    drawArrow(p, QPointF(9.5, 11), QPointF(2, 11), accent);
    drawArrow(p, QPointF(2, 21), QPointF(9.5, 21), accent);
}

void find(QPainter& p, QColor const& ink, QColor const& accent)
{
    p.setPen(linePen(ink, 2.4));
    p.setBrush(Paper);
    p.drawEllipse(QPointF(13.5, 13.5), 7.5, 7.5);
    p.setPen(linePen(accent, 3.4));
    p.drawLine(QPointF(19.2, 19.2), QPointF(26.5, 26.5));
}

// The ring of the navigation buttons; leaves the accent pen set for the symbol inside.
void ring(QPainter& p, QColor const& ink, QColor const& accent)
{
    p.setPen(linePen(ink, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(16, 16), 10, 10);
    p.setPen(linePen(accent, 2.6));
}

Icon chevronInCircle(bool right)
{
    return [right](QPainter& p, QColor const& ink, QColor const& accent) {
        ring(p, ink, accent);
        qreal const s = right ? 1.0 : -1.0;
        p.drawPolyline(QPolygonF({QPointF(16 - 2.5 * s, 10.5), QPointF(16 + 3 * s, 16), QPointF(16 - 2.5 * s, 21.5)}));
    };
}

void closeCross(QPainter& p, QColor const& ink, QColor const& accent)
{
    ring(p, ink, accent);
    p.drawLine(QPointF(12, 12), QPointF(20, 20));
    p.drawLine(QPointF(20, 12), QPointF(12, 20));
}

// Transport symbols in a 20 x 20 logical box.
void stopSymbol(QPainter& p, QColor const&, QColor const& fill)
{
    fillWith(p, fill);
    p.drawRoundedRect(QRectF(4, 4, 12, 12), 1.5, 1.5);
}

void playTriangle(QPainter& p, qreal left, QColor const& fill)
{
    p.setPen(linePen(fill, 1.0));
    p.setBrush(fill);
    p.drawPolygon(QPolygonF({QPointF(left, 3.5), QPointF(left + 11.5, 10), QPointF(left, 16.5)}));
}

void continueSymbol(QPainter& p, QColor const&, QColor const& fill)
{
    playTriangle(p, 5, fill);
}

void startSymbol(QPainter& p, QColor const&, QColor const& fill)
{
    fillWith(p, fill);
    p.drawRoundedRect(QRectF(3, 3.5, 3, 13), 1, 1);
    playTriangle(p, 8, fill);
}

Icon arrowButton(bool up)
{
    return [up](QPainter& p, QColor const& ink, QColor const& accent) {
        bool const off = ink == Slate;
        QLinearGradient gradient(0, 0, 0, 24);
        gradient.setColorAt(0, off ? QColor(252, 252, 252) : QColor(214, 236, 240));
        gradient.setColorAt(1, off ? QColor(222, 224, 228) : QColor(178, 214, 222));
        p.setPen(linePen(QColor(150, 154, 160), 0.8));
        p.setBrush(gradient);
        p.drawRoundedRect(QRectF(0.5, 0.5, 13, 23), 2.5, 2.5);
        fillWith(p, off ? ink : accent);
        qreal const tip = up ? 9 : 15, base = up ? 15 : 9;
        p.drawPolygon(QPolygonF({QPointF(3.5, base), QPointF(7, tip), QPointF(10.5, base)}));
    };
}

// Four 15 x 15 frames: idle, pressed, running, running and pressed.
QImage playStopStrip()
{
    QColor const colours[4] = {Slate, TealDark, Teal, TealDark};
    return strip(4, 15, 15, [&](QPainter& p, int frame) {
        p.setPen(linePen(colours[frame], 0.8));
        p.setBrush(colours[frame]);
        if (frame < 2) {
            p.drawPolygon(QPolygonF({QPointF(4, 2.5), QPointF(12.5, 7.5), QPointF(4, 12.5)}));
        } else {
            p.drawRoundedRect(QRectF(3, 3, 9, 9), 1, 1);
        }
    });
}

// Ten seven-segment digits of 36 x 48 logical pixels each.
QImage sevenSegmentStrip()
{
    static int const segmentsOf[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    QColor const lit(255, 86, 64);
    QColor const unlit(52, 40, 40);
    qreal const x0 = 8, x1 = 28, y0 = 6, y1 = 24, y2 = 42, t = 3.2;
    auto horizontal = [&](qreal y) {
        return QPolygonF({QPointF(x0 + 1.5, y), QPointF(x0 + 1.5 + t, y - t), QPointF(x1 - 1.5 - t, y - t),
                          QPointF(x1 - 1.5, y), QPointF(x1 - 1.5 - t, y + t), QPointF(x0 + 1.5 + t, y + t)});
    };
    auto vertical = [&](qreal x, qreal top, qreal bottom) {
        return QPolygonF({QPointF(x, top + 1.5), QPointF(x + t, top + 1.5 + t), QPointF(x + t, bottom - 1.5 - t),
                          QPointF(x, bottom - 1.5), QPointF(x - t, bottom - 1.5 - t), QPointF(x - t, top + 1.5 + t)});
    };
    QPolygonF const segments[7] = {horizontal(y0), vertical(x1, y0, y1), vertical(x1, y1, y2), horizontal(y2),
                                   vertical(x0, y1, y2), vertical(x0, y0, y1), horizontal(y1)};
    // A slight slant, as on a real display.
    QTransform slant;
    slant.translate(0, 24).shear(-0.08, 0).translate(0, -24);
    return strip(10, 36, 48, [&](QPainter& p, int digit) {
        p.fillRect(QRectF(0, 0, 36, 48), QColor(24, 26, 30));
        for (int s = 0; s < 7; ++s) {
            fillWith(p, (segmentsOf[digit] >> s) & 1 ? lit : unlit);
            p.drawPolygon(slant.map(segments[s]));
        }
    });
}

// The about box background, 501 x 170 logical pixels; the lower part stays calm for the text.
void aboutBackground(QPainter& p)
{
    QLinearGradient sky(0, 0, 0, 170);
    sky.setColorAt(0, QColor(226, 240, 244));
    sky.setColorAt(0.55, QColor(248, 250, 252));
    sky.setColorAt(1, QColor(255, 255, 255));
    p.fillRect(QRectF(0, 0, 501, 170), sky);
    // A row of piano keys along the top.
    p.setPen(linePen(QColor(190, 200, 206), 0.8));
    p.setBrush(Qt::white);
    for (int i = 0; i < 36; ++i) {
        p.drawRect(QRectF(i * 14, -1, 14, 44));
    }
    fillWith(p, Slate);
    static bool const black[7] = {true, true, false, true, true, true, false};
    for (int i = 0; i < 35; ++i) {
        if (black[i % 7]) {
            p.drawRoundedRect(QRectF(i * 14 + 9.5, -2, 9, 28), 1.5, 1.5);
        }
    }
    // The socket stands left of the two centred text lines (y 95 and 115), clear of them.
    const QPointF socket(62, 104);
    QRadialGradient glow(socket, 34);
    glow.setColorAt(0, QColor(255, 255, 255, 255));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(glow);
    p.drawEllipse(socket, 34, 34);
    drawDinSocket(p, socket, 20, Slate, Teal);
    p.setPen(linePen(Teal, 1.2));
    p.drawLine(QPointF(40, 160), QPointF(461, 160));
}

void subwindowIcon(QPainter& p)
{
    p.setPen(linePen(Slate, 1.2));
    p.setBrush(Paper);
    p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 1.5, 1.5);
    fillWith(p, Teal);
    p.drawRect(QRectF(2, 3, 12, 3));
    p.setBrush(Slate);
    p.drawEllipse(QPointF(8, 9.8), 2.2, 2.2);
}

// The application icon: a MIDI socket on a teal tile, drawn in a 64 x 64 logical box so the
// same strokes serve every size of the icon theme.
void applicationIcon(QPainter& p)
{
    QLinearGradient tile(0, 0, 0, 64);
    tile.setColorAt(0, Teal);
    tile.setColorAt(1, TealDark);
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(4, 4, 56, 56), 12, 12);
    fillWith(p, Paper);
    p.drawEllipse(QPointF(32, 32), 21, 21);
    drawDinSocket(p, QPointF(32, 32), 17, Slate, Slate);
}

QImage applicationIconAt(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    applicationIcon(painter);
    return image;
}

bool saveImage(QImage const& image, QString const& path)
{
    if (image.save(path, "PNG")) {
        return true;
    }
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: draw_images <image folder> [<icon theme folder>]\n");
        return 2;
    }
    QDir const folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    struct Output {
        char const* name;
        QImage image;
    };
    Output const outputs[] = {
        {"file.png", toolStrip(filePage)},
        {"open.png", toolStrip(openFolder)},
        {"disk.png", toolStrip(disk)},
        {"tx.png", toolStrip(transmit)},
        {"rx.png", toolStrip(receive)},
        {"txrx.png", toolStrip(transmitReceive)},
        {"find.png", toolStrip(find)},
        {"prev.png", toolStrip(chevronInCircle(false))},
        {"next.png", toolStrip(chevronInCircle(true))},
        {"close.png", toolStrip(closeCross)},
        {"fc_stop.png", buttonStrip(20, 20, stopSymbol)},
        {"fb_continue.png", buttonStrip(20, 20, continueSymbol)},
        {"fa_play.png", buttonStrip(20, 20, startSymbol)},
        {"up_arrow_button.png", buttonStrip(14, 24, arrowButton(true))},
        {"down_arrow_button.png", buttonStrip(14, 24, arrowButton(false))},
        {"playstop.png", playStopStrip()},
        {"7seg.png", sevenSegmentStrip()},
        {"about.png", drawn(501, 170, aboutBackground)},
        {"subwindow_icon.png", drawn(16, 16, subwindowIcon)},
    };
    for (Output const& output : outputs) {
        if (!saveImage(output.image, folder.filePath(QString::fromLatin1(output.name)))) {
            return 1;
        }
    }
    if (argc == 3) {
        QDir const theme(QString::fromLocal8Bit(argv[2]));
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
            QString const apps = QStringLiteral("%1x%1/apps").arg(size);
            if (!QDir().mkpath(theme.filePath(apps)) ||
                !saveImage(applicationIconAt(size), theme.filePath(apps + QStringLiteral("/com.keldanworks.TulvarMIDI.png")))) {
                return 1;
            }
        }
    }
    return 0;
}
