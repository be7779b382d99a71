#pragma once

#include <QColor>
#include <QRect>
#include <QSizeF>
#include <QVector>
#include <QWidget>

// A painted 128-key piano (notes 0..127). Clicks and drags become note-on / note-off calls of a
// plain callback; Ctrl held while clicking latches notes so that several can sound at once.
class Keyboard : public QWidget
{
    Q_OBJECT

public:
    using NoteCallbackFunc = void (*)(void* context, unsigned char note, bool on);

    struct KeyRecord
    {
        unsigned char note;
        QRect rect;
    };

    static constexpr unsigned char NoNote = 255;
    static constexpr int WhiteKeyCount = 75;
    static constexpr int BlackKeyCount = 53;

    Keyboard(QWidget* parent, QSizeF const& whiteKeySize);

    void setNoteCallbackFunc(NoteCallbackFunc func, void* context);
    void setMiddleCOffset(int offset);
    int middleCOffset() const { return m_middleCOffset; }

    void noteOn(unsigned char note);
    void noteOff(unsigned char note);
    void noteOnToOff();
    bool isAllNotOff() const;
    bool isNoteOn(unsigned char note) const { return note < 128 && m_noteState[note]; }

    unsigned char noteNumber(QPoint const& pos, bool& isWhite) const;
    unsigned char noteNumber(QPoint const& pos) const;

    int getWhiteKeyHeight() const;
    int getBlackKeyHeight() const;
    QSizeF whiteKeySize() const { return QSizeF(m_whiteKeyWidth, m_whiteKeyHeight); }
    bool getKeyboardRect(unsigned char note, QRect& rect) const;
    // "C" and the octave on every C key (labels follow the middle-C offset), else empty.
    QString keyLabel(int whiteKeyIndex) const;

    QVector<KeyRecord> const& whiteKeys() const { return m_whiteKeys; }
    QVector<KeyRecord> const& blackKeys() const { return m_blackKeys; }

    QSize sizeHint() const override;

    QColor onColor = Qt::transparent;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    bool isLatch() const { return m_latch; }
    void updateLatch(Qt::KeyboardModifiers modifiers);

    // The event's local position, each coordinate rounded half upwards.
    static QPoint roundedPosition(QMouseEvent const* event);

private:
    void buildKeys();

    QVector<KeyRecord> m_whiteKeys;
    QVector<KeyRecord> m_blackKeys;
    bool m_noteState[128];
    NoteCallbackFunc m_noteCallback = nullptr;
    void* m_noteCallbackContext = nullptr;
    double m_whiteKeyWidth;
    double m_whiteKeyHeight;
    bool m_latch = false;
    int m_middleCOffset = 0;
};
