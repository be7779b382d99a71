#pragma once

#include <QProxyStyle>

// The application's proxy style: a wider scroll bar and no focus rectangles.
class TulvarMidiStyle : public QProxyStyle {
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    int pixelMetric(PixelMetric metric, QStyleOption const* option = nullptr,
                    QWidget const* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, QStyleOption const* option, QPainter* painter,
                       QWidget const* widget = nullptr) const override;
};
