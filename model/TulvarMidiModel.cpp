#include "model/TulvarMidiModel.h"

#include "model/DialIF.h"

#include <QObject>

#include <algorithm>

TulvarMidiModel::TulvarMidiModel()
    : Model()
    , TulvarMidiParameters(this)
{
}

void TulvarMidiModel::updateParameter(unsigned int id)
{
    if (id == KnobModeParameterId) {
        int const mode = getModelIntValue(KnobModeParameterId);
        QList<RegisteredDial> const dials = m_dials;
        for (RegisteredDial const& entry : dials) {
            if (!entry.object.isNull()) {
                entry.dial->setKnobMode(mode);
            }
        }
    }
    Model::updateParameter(id);
}

MODEL_RESULT TulvarMidiModel::registerModelConnection(ModelConnectionIF* connection)
{
    return Model::registerModelConnection(connection);
}

MODEL_RESULT TulvarMidiModel::unregisterModelConnection(ModelConnectionIF* connection)
{
    return Model::unregisterModelConnection(connection);
}

void TulvarMidiModel::lockParameterEditFlag()
{
    ++m_editFlagLock;
}

void TulvarMidiModel::unlockParameterEditFlag()
{
    // An unpaired unlock must not leave the flag locked for the rest of the run.
    if (m_editFlagLock > 0) {
        --m_editFlagLock;
    }
}

void TulvarMidiModel::setParameterEditFlag(int flag)
{
    if (m_editFlagLock != 0) {
        return;
    }
    setModelIntValue(EditFlagParameterId, flag);
}

ParameterEditFlag TulvarMidiModel::getParameterEditFlag()
{
    return getModelIntValue(EditFlagParameterId) != 0 ? ParameterEditFlagChanged
                                                     : ParameterEditFlagUnchanged;
}

void TulvarMidiModel::registerDial(DialIF* dial)
{
    if (dial == nullptr) {
        return;
    }
    m_dials.erase(std::remove_if(m_dials.begin(), m_dials.end(),
                                 [](RegisteredDial const& entry) { return entry.object.isNull(); }),
                  m_dials.end());
    for (RegisteredDial const& entry : qAsConst(m_dials)) {
        if (entry.dial == dial) {
            return;
        }
    }
    m_dials.append(RegisteredDial{dial, dial->dialObject()});
    dial->setKnobMode(getModelIntValue(KnobModeParameterId));
}

void TulvarMidiModel::unregisterDial(DialIF* dial)
{
    m_dials.erase(std::remove_if(m_dials.begin(), m_dials.end(),
                                 [dial](RegisteredDial const& entry) { return entry.dial == dial; }),
                  m_dials.end());
}

QString TulvarMidiModel::getProjectFilePath() const
{
    return m_projectFilePath;
}

void TulvarMidiModel::setProjectFilePath(QString const& path)
{
    m_projectFilePath = path;
}
