#pragma once

#include "widgets/TulvarMidiStyle.h"

// The style of the filter view's heading rows: a check box that shows only its label.
class UnstyledCheckBox : public TulvarMidiStyle {
    Q_OBJECT

public:
    using TulvarMidiStyle::TulvarMidiStyle;

    // No room is kept for the missing indicator, so the label stands where the indicator would.
    int pixelMetric(PixelMetric metric, QStyleOption const* option = nullptr,
                    QWidget const* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, QStyleOption const* option, QPainter* painter,
                       QWidget const* widget = nullptr) const override;
};
