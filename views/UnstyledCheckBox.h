#pragma once

#include "widgets/TulvarMidiStyle.h"

// The style of the filter view's heading rows: a check box that shows only its label.
class UnstyledCheckBox : public TulvarMidiStyle {
    Q_OBJECT

public:
    using TulvarMidiStyle::TulvarMidiStyle;

    void drawPrimitive(PrimitiveElement element, QStyleOption const* option, QPainter* painter,
                       QWidget const* widget = nullptr) const override;
};
