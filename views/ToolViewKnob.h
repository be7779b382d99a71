#pragma once

struct ValueRange;
class Dial;
class TulvarMidiModel;

// What every knob of a tool view shares: range, reset value and value from its record, the
// in-place editor size, the arc insets and colours, and a place in the model's dial registry so
// that the knob mode preference reaches it. The view unregisters it before it goes.
void setUpToolViewKnob(Dial* knob, const ValueRange& range, TulvarMidiModel* model);
