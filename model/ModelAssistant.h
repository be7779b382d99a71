#pragma once

// An observer of every parameter change (the analyzer, the main window, ...). The model never
// deletes through this interface, so it has no virtual destructor.
class ModelAssistant {
public:
    virtual void updateParameter(unsigned int id) = 0;

protected:
    ~ModelAssistant() = default;
};
