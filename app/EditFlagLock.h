#pragma once

#include "model/TulvarMidiModel.h"

// Locks the edit flag for the lifetime of the guard, so bulk work does not mark the project modified.
class EditFlagLock {
public:
    explicit EditFlagLock(TulvarMidiModel* model) : m_model(model) { m_model->lockParameterEditFlag(); }
    ~EditFlagLock() { m_model->unlockParameterEditFlag(); }
    EditFlagLock(const EditFlagLock&) = delete;
    EditFlagLock& operator=(const EditFlagLock&) = delete;

private:
    TulvarMidiModel* m_model;
};
