#pragma once

#include "widgets/Keyboard.h"

// A Keyboard on which the vertical position of a held mouse button becomes a pressure value
// 0..127 (top 0, bottom 127), sent as polyphonic key pressure or channel pressure.
class PressureKeyboard : public Keyboard
{
    Q_OBJECT

public:
    using KeyPressureCallbackFunc = void (*)(void* context, unsigned char note, unsigned char value);
    using ChannelPressureCallbackFunc = void (*)(void* context, unsigned char value);

    enum PressureMode { PressureModeOff = 0, PressureModeChannel = 1, PressureModeKey = 2 };

    static constexpr int NoPressureValue = 2147483647;

    struct PressureValueDisplay
    {
        unsigned char note = NoNote;
        bool isWhite = false;
    };

    PressureKeyboard(QWidget* parent, QSizeF const& whiteKeySize);

    void setKeyPressureCallbackFunc(KeyPressureCallbackFunc func, void* context);
    void setChannelPressureCallbackFunc(ChannelPressureCallbackFunc func, void* context);

    void setPressureMode(int mode) { m_pressureMode = mode; }
    int pressureMode() const { return m_pressureMode; }
    int pressureValue() const { return m_pressureValue; }
    bool isPressing() const { return m_pressing; }

    bool findPressureValueDisplayFromPosition(QPoint const& pos, PressureValueDisplay& display) const;
    int convertYPositionToValue(int y) const;
    static int checkValueRange(int value);
    QRect getRectForPressureValueDrawing(QPoint const& pos) const;
    int getYPositionForPressureValueDrawing(int value) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int pressureValueForMove(int y, Qt::KeyboardModifiers modifiers);
    void sendPressure(int value);

    bool m_pressing = false;
    QPoint m_mousePosition;
    int m_pressureValue = NoPressureValue;
    KeyPressureCallbackFunc m_keyPressureCallback = nullptr;
    void* m_keyPressureCallbackContext = nullptr;
    ChannelPressureCallbackFunc m_channelPressureCallback = nullptr;
    void* m_channelPressureCallbackContext = nullptr;
    int m_pressureMode = PressureModeOff;
    bool m_fineMode = false;
    int m_fineAnchorY = 0;
    PressureValueDisplay m_valueDisplay;
};
