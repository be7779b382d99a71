#include "views/UnstyledCheckBox.h"

int UnstyledCheckBox::pixelMetric(PixelMetric metric, QStyleOption const* option, QWidget const* widget) const
{
    if (metric == PM_IndicatorWidth || metric == PM_CheckBoxLabelSpacing) {
        return 0;
    }
    return TulvarMidiStyle::pixelMetric(metric, option, widget);
}

void UnstyledCheckBox::drawPrimitive(PrimitiveElement element, QStyleOption const* option, QPainter* painter,
                                     QWidget const* widget) const
{
    if (element == PE_IndicatorCheckBox) {
        return;
    }
    TulvarMidiStyle::drawPrimitive(element, option, painter, widget);
}
