#include "views/ToolViewKnob.h"

#include "support/LookConstants.h"
#include "support/ValueRange.h"
#include "model/TulvarMidiModel.h"
#include "widgets/Dial.h"

void setUpToolViewKnob(Dial* knob, const ValueRange& range, TulvarMidiModel* model)
{
    knob->setRange(range.minimum, range.maximum);
    knob->setResetValue(range.defaultValue);
    knob->setValue(range.defaultValue);
    if (range.suffix[0] != '\0') {
        knob->setValueSuffix(QStringLiteral(" ") + QString::fromUtf8(range.suffix));
    }
    knob->setLineEditSize(LineEditSize);
    knob->setArcMargins(ArcMargin);
    knob->setArcColors(StartGradientColorOfKnobMeter, EndGradientColorOfKnobMeter);
    model->registerDial(knob);
}
