#include "model/ModelConnection.h"

#include "model/ModelIF.h"

ModelConnection::~ModelConnection()
{
    if (m_model != nullptr) {
        unregisterEverywhere(m_model);
    }
    m_model = nullptr;
    ModelConnection::modelChanged();
}

MODEL_RESULT ModelConnection::unregisterEverywhere(ModelIF* model)
{
    // A control connected twice is registered twice; a registration left behind would be called
    // after the control is gone.
    MODEL_RESULT const result = model->unregisterModelConnection(this);
    if (result == MODEL_RESULT_OK) {
        while (model->unregisterModelConnection(this) == MODEL_RESULT_OK) {
        }
    }
    return result;
}

void ModelConnection::updateParameter(unsigned int)
{
}

void ModelConnection::modelChanged()
{
}

unsigned int ModelConnection::getParameterId(MODEL_RESULT* result) const
{
    setModelResult(result, m_parameterId == UndefinedId ? MODEL_RESULT_ERROR : MODEL_RESULT_OK);
    return m_parameterId;
}

MODEL_RESULT ModelConnection::setParameterId(unsigned int id)
{
    m_parameterId = id;
    return MODEL_RESULT_OK;
}

MODEL_RESULT ModelConnection::connectModel(ModelIF* model)
{
    // The control follows one model: leave an earlier one, which would otherwise keep calling it.
    if (m_model != nullptr && m_model != model) {
        unregisterEverywhere(m_model);
    }
    m_model = model;
    modelChanged();
    if (m_model == nullptr) {
        return MODEL_RESULT_ERROR;
    }
    return m_model->registerModelConnection(this);
}

MODEL_RESULT ModelConnection::disconnectModel()
{
    MODEL_RESULT const result = m_model != nullptr ? unregisterEverywhere(m_model) : MODEL_RESULT_ERROR;
    m_model = nullptr;
    modelChanged();
    return result;
}

bool ModelConnection::isConnected(MODEL_RESULT* result)
{
    setModelResult(result, MODEL_RESULT_OK);
    return m_model != nullptr;
}

int ModelConnection::getMinimumValue(MODEL_RESULT* result)
{
    if (m_model == nullptr) {
        setModelResult(result, MODEL_RESULT_ERROR);
        return 0;
    }
    return m_model->getModelMinimumValue(m_parameterId, result);
}

int ModelConnection::getMaximumValue(MODEL_RESULT* result)
{
    if (m_model == nullptr) {
        setModelResult(result, MODEL_RESULT_ERROR);
        return 0;
    }
    return m_model->getModelMaximumValue(m_parameterId, result);
}

QString ModelConnection::getParameterString(int value, MODEL_RESULT* result)
{
    if (m_model == nullptr) {
        setModelResult(result, MODEL_RESULT_ERROR);
        return QString();
    }
    return m_model->getParameterString(m_parameterId, value, result);
}

MODEL_RESULT ModelConnection::setCurrentValue(int value)
{
    if (m_model == nullptr) {
        return MODEL_RESULT_ERROR;
    }
    return m_model->setModelIntValue(m_parameterId, value);
}

int ModelConnection::getCurrentValue(MODEL_RESULT* result) const
{
    if (m_model == nullptr) {
        setModelResult(result, MODEL_RESULT_ERROR);
        return 0;
    }
    return m_model->getModelIntValue(m_parameterId, result);
}

int ModelConnection::getDefaultValue(MODEL_RESULT* result) const
{
    if (m_model == nullptr) {
        setModelResult(result, MODEL_RESULT_ERROR);
        return 0;
    }
    return m_model->getModelDefaultValue(m_parameterId, result);
}
