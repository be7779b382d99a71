#include "views/UnstyledCheckBox.h"

void UnstyledCheckBox::drawPrimitive(PrimitiveElement element, QStyleOption const* option, QPainter* painter,
                                     QWidget const* widget) const
{
    if (element == PE_IndicatorCheckBox) {
        return;
    }
    TulvarMidiStyle::drawPrimitive(element, option, painter, widget);
}
