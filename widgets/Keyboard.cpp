#include "widgets/Keyboard.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

const QSizeF DefaultWhiteKeySize(50.0, 200.0);
const int WhiteKeyOffsets[7] = {0, 2, 4, 5, 7, 9, 11};
// -1: there is no black key after E and after B.
const int BlackKeyOffsets[7] = {1, 3, -1, 6, 8, 10, -1};
// The key proportions are single-precision values; the geometry depends on their exact digits.
const float BlackKeyWidthRatio = 11.0f / 23.0f;
const float BlackKeyHeightRatio = 19.0f / 30.0f;
const int LabelHeight = 20;

} // namespace

Keyboard::Keyboard(QWidget* parent, QSizeF const& whiteKeySize)
    : QWidget(parent)
{
    // A null (or otherwise unusable) size gets the default proportions.
    QSizeF const size = whiteKeySize.isEmpty() ? DefaultWhiteKeySize : whiteKeySize;
    m_whiteKeyWidth = size.width();
    m_whiteKeyHeight = size.height();
    std::fill(std::begin(m_noteState), std::end(m_noteState), false);
    buildKeys();
    setAutoFillBackground(true);
}

void Keyboard::buildKeys()
{
    double const w = m_whiteKeyWidth;
    double const h = m_whiteKeyHeight;
    m_whiteKeys.reserve(WhiteKeyCount);
    for (int i = 0; i < WhiteKeyCount; ++i) {
        auto const note = static_cast<unsigned char>((i / 7) * 12 + WhiteKeyOffsets[i % 7]);
        m_whiteKeys.append({note, QRect(int(i * w), 0, int(w), int(h))});
    }
    double const b = w * double(BlackKeyWidthRatio);
    int const blackHeight = int(h * double(BlackKeyHeightRatio));
    m_blackKeys.reserve(BlackKeyCount);
    for (int j = 0; j < 74; ++j) {
        int const offset = BlackKeyOffsets[j % 7];
        if (offset < 0)
            continue;
        auto const note = static_cast<unsigned char>((j / 7) * 12 + offset);
        m_blackKeys.append({note, QRect(int((j + 1) * w - b * 0.5), 0, int(b), blackHeight)});
    }
}

void Keyboard::setNoteCallbackFunc(NoteCallbackFunc func, void* context)
{
    m_noteCallback = func;
    m_noteCallbackContext = context;
}

void Keyboard::setMiddleCOffset(int offset)
{
    m_middleCOffset = offset;
    update();
}

void Keyboard::noteOn(unsigned char note)
{
    if (note >= 128)
        return;
    if (m_noteCallback)
        m_noteCallback(m_noteCallbackContext, note, true);
    m_noteState[note] = true;
    update();
}

void Keyboard::noteOff(unsigned char note)
{
    if (note >= 128)
        return;
    if (m_noteCallback)
        m_noteCallback(m_noteCallbackContext, note, false);
    m_noteState[note] = false;
    update();
}

void Keyboard::noteOnToOff()
{
    for (int note = 0; note < 128; ++note) {
        if (!m_noteState[note])
            continue;
        if (m_noteCallback)
            m_noteCallback(m_noteCallbackContext, static_cast<unsigned char>(note), false);
        m_noteState[note] = false;
    }
    update();
}

bool Keyboard::isAllNotOff() const
{
    return std::none_of(std::begin(m_noteState), std::end(m_noteState), [](bool on) { return on; });
}

unsigned char Keyboard::noteNumber(QPoint const& pos, bool& isWhite) const
{
    isWhite = false;
    // Black keys lie over the white ones, so they are hit first.
    for (KeyRecord const& key : m_blackKeys) {
        if (key.rect.contains(pos))
            return key.note;
    }
    for (KeyRecord const& key : m_whiteKeys) {
        if (key.rect.contains(pos)) {
            isWhite = true;
            return key.note;
        }
    }
    return NoNote;
}

unsigned char Keyboard::noteNumber(QPoint const& pos) const
{
    bool isWhite = false;
    return noteNumber(pos, isWhite);
}

int Keyboard::getWhiteKeyHeight() const
{
    return int(m_whiteKeyHeight);
}

int Keyboard::getBlackKeyHeight() const
{
    return int(std::floor(m_whiteKeyHeight * double(BlackKeyHeightRatio) + 0.5));
}

bool Keyboard::getKeyboardRect(unsigned char note, QRect& rect) const
{
    for (auto const* keys : {&m_whiteKeys, &m_blackKeys}) {
        for (KeyRecord const& key : *keys) {
            if (key.note == note) {
                rect = key.rect;
                return true;
            }
        }
    }
    rect = QRect();
    return false;
}

QString Keyboard::keyLabel(int whiteKeyIndex) const
{
    if (whiteKeyIndex % 7 != 0)
        return QString();
    return QStringLiteral("C%1").arg(whiteKeyIndex / 7 + m_middleCOffset - 2);
}

QSize Keyboard::sizeHint() const
{
    // One more pixel each way so that the outline of the last key is inside the widget.
    return QSize(int(WhiteKeyCount * m_whiteKeyWidth) + 1, int(m_whiteKeyHeight) + 1);
}

void Keyboard::updateLatch(Qt::KeyboardModifiers modifiers)
{
    m_latch = modifiers == Qt::ControlModifier;
}

QPoint Keyboard::roundedPosition(QMouseEvent const* event)
{
    QPointF const p = event->localPos();
    return QPoint(int(std::floor(p.x() + 0.5)), int(std::floor(p.y() + 0.5)));
}

void Keyboard::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    unsigned char const note = noteNumber(roundedPosition(event));
    if (note == NoNote)
        return;
    updateLatch(event->modifiers());
    if (m_latch) {
        if (m_noteState[note])
            noteOff(note);
        else
            noteOn(note);
    } else if (!isAllNotOff()) {
        // A plain click first silences whatever is latched; the next click plays.
        noteOnToOff();
    } else {
        noteOn(note);
    }
    update();
}

void Keyboard::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (!m_latch)
        noteOnToOff();
}

void Keyboard::mouseMoveEvent(QMouseEvent* event)
{
    // Only a left-button drag plays: the release of any other button would not end the note.
    if (!(event->buttons() & Qt::LeftButton))
        return;
    updateLatch(event->modifiers());
    unsigned char const note = noteNumber(roundedPosition(event));
    if (note == NoNote || m_noteState[note])
        return;
    if (!m_latch && !isAllNotOff()) {
        // Glissando: leaving a key releases it; the next move inside the new key plays it.
        noteOnToOff();
        return;
    }
    noteOn(note);
}

void Keyboard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(Qt::black);
    int const labelY = int(m_whiteKeyHeight * 0.75);
    for (int i = 0; i < m_whiteKeys.size(); ++i) {
        KeyRecord const& key = m_whiteKeys[i];
        painter.setBrush(m_noteState[key.note] ? onColor : QColor(Qt::white));
        painter.drawRect(key.rect);
        QString const label = keyLabel(i);
        if (!label.isEmpty())
            painter.drawText(QRect(key.rect.x(), labelY, key.rect.width(), LabelHeight), Qt::AlignCenter, label);
    }
    for (KeyRecord const& key : m_blackKeys) {
        painter.setBrush(m_noteState[key.note] ? onColor : QColor(Qt::black));
        painter.drawRect(key.rect);
    }
}
