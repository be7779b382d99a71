#pragma once

class QObject;

// What the application model needs of a dial to make it follow the knob mode preference,
// without depending on the widget kit.
class DialIF {
public:
    virtual ~DialIF() = default;
    virtual void setKnobMode(int mode) = 0;
    // The dial's QObject, watched so that a destroyed dial is skipped.
    virtual QObject* dialObject() = 0;
};
