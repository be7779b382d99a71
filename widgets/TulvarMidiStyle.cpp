#include "widgets/TulvarMidiStyle.h"

#include "support/LookConstants.h"

int TulvarMidiStyle::pixelMetric(PixelMetric metric, QStyleOption const* option, QWidget const* widget) const
{
    if (metric == PM_ScrollBarExtent) {
        return ScrollBarExtent;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

void TulvarMidiStyle::drawPrimitive(PrimitiveElement element, QStyleOption const* option, QPainter* painter,
                                    QWidget const* widget) const
{
    if (element == PE_FrameFocusRect) {
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}
