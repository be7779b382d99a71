#pragma once

#include "support/FontConstant.h"

#include <QColor>
#include <QMargins>
#include <QSize>
#include <QtGlobal>

// The application's look, shared by every view and widget.

// "Monaco" with a monospace hint, so that monitor columns stay aligned where Monaco is missing.
extern FontConstant const TulvarMidiFont;
constexpr int TulvarMidiFontSize = 12;      // pixels; the application font
constexpr int TulvarMidiFontLargeSize = 18; // pixels; the "Large" message font
// Hiragino Kaku Gothic Pro W3, falling back to a sans-serif face.
extern FontConstant const AboutViewFont;

extern QColor const DisabledViewColor;
extern QColor const DisabledViewMessageTextColor;
extern QColor const MonitorBackgroundColor;
extern QColor const MonitorTextColor;
extern QColor const SystemExclusiveProgressBarBackgroundColor;
extern QColor const SystemExclusiveSubViewBackgroundColor;
extern QColor const KeyboardOnColor;
extern QColor const TempoLedOnColor;
extern QColor const TempoLedOffColor;
extern QColor const ActivesenseLedOnColor;
extern QColor const ActivesenseLedOffColor;
extern QColor const AboutTextColor;
extern QColor const StartGradientColorOfKnobMeter;
extern QColor const EndGradientColorOfKnobMeter;

// The images are drawn at double resolution: one logical pixel is two image pixels.
constexpr qreal DevicePixelRatio = 2.0;

// In-place editor size and arc insets of every dial of a knob-bearing view.
constexpr QSize LineEditSize(50, 20);
constexpr QMargins ArcMargin(-3, -3, -3, -3);

// Frame of every tool view: QFrame::StyledPanel | QFrame::Plain.
constexpr int MacFrameStyle = 22;

// Scroll bar extent of the application style.
constexpr int ScrollBarExtent = 18;
