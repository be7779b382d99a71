#include "support/LookConstants.h"

FontConstant const TulvarMidiFont(QStringLiteral("Monaco"), QFont::Monospace);
FontConstant const AboutViewFont(QStringLiteral("ヒラギノ角ゴ Pro W3"), QFont::SansSerif);

QColor const DisabledViewColor(0, 0, 0, 200);
QColor const DisabledViewMessageTextColor(Qt::white);
QColor const MonitorBackgroundColor(40, 27, 67, 255);
QColor const MonitorTextColor(Qt::white);
QColor const SystemExclusiveProgressBarBackgroundColor(0, 0, 0, 128);
QColor const SystemExclusiveSubViewBackgroundColor(250, 250, 250, 255);
QColor const KeyboardOnColor(160, 160, 185, 255);
QColor const TempoLedOnColor(Qt::yellow);
QColor const TempoLedOffColor(27, 27, 0, 255);
QColor const ActivesenseLedOnColor(Qt::yellow);
QColor const ActivesenseLedOffColor(27, 27, 0, 255);
QColor const AboutTextColor(0, 0, 74, 255);
QColor const StartGradientColorOfKnobMeter(84, 0, 0, 255);
QColor const EndGradientColorOfKnobMeter(255, 245, 245, 255);
