#include "model/Model.h"

#include "model/ModelAssistant.h"
#include "model/ModelConnectionIF.h"

Model::IntParameterInfo const* Model::findInt(unsigned int id, MODEL_RESULT* result) const
{
    auto it = m_intParameters.constFind(id);
    if (it == m_intParameters.constEnd()) {
        setModelResult(result, MODEL_RESULT_ERROR);
        return nullptr;
    }
    setModelResult(result, MODEL_RESULT_OK);
    return &it.value();
}

Model::StringParameterInfo const* Model::findString(unsigned int id, MODEL_RESULT* result) const
{
    auto it = m_stringParameters.constFind(id);
    if (it == m_stringParameters.constEnd()) {
        setModelResult(result, MODEL_RESULT_ERROR);
        return nullptr;
    }
    setModelResult(result, MODEL_RESULT_OK);
    return &it.value();
}

int Model::getModelIntValue(unsigned int id, MODEL_RESULT* result)
{
    IntParameterInfo const* info = findInt(id, result);
    return info ? info->currentValue : 0;
}

int Model::getModelMinimumValue(unsigned int id, MODEL_RESULT* result)
{
    IntParameterInfo const* info = findInt(id, result);
    return info ? info->minimum : 0;
}

int Model::getModelMaximumValue(unsigned int id, MODEL_RESULT* result)
{
    IntParameterInfo const* info = findInt(id, result);
    return info ? info->maximum : 0;
}

int Model::getModelDefaultValue(unsigned int id, MODEL_RESULT* result)
{
    IntParameterInfo const* info = findInt(id, result);
    return info ? info->defaultValue : 0;
}

QString Model::getModelStringValue(unsigned int id, MODEL_RESULT* result)
{
    StringParameterInfo const* info = findString(id, result);
    return info ? info->currentValue : QString();
}

QString Model::getModelDefaultStringValue(unsigned int id, MODEL_RESULT* result)
{
    StringParameterInfo const* info = findString(id, result);
    return info ? info->defaultValue : QString();
}

QString Model::getModelParameterName(unsigned int id, MODEL_RESULT* result)
{
    if (IntParameterInfo const* info = findInt(id, result)) {
        return info->name;
    }
    StringParameterInfo const* info = findString(id, result);
    return info ? info->name : QString();
}

QString Model::getParameterString(unsigned int id, int value, MODEL_RESULT* result)
{
    if (IntParameterInfo const* info = findInt(id, nullptr)) {
        if (info->toText != nullptr) {
            return info->toText(value, result);
        }
        setModelResult(result, MODEL_RESULT_OK);
        return QString::number(value);
    }
    StringParameterInfo const* info = findString(id, result);
    return info ? info->currentValue : QString();
}

MODEL_RESULT Model::createIntParameter(unsigned int id, int minimum, int maximum, int defaultValue,
                                       QString const& name, ModelToTextConverter toText,
                                       ModelFromTextConverter fromText)
{
    m_intParameters.insert(id, IntParameterInfo{id, 0, name, minimum, maximum, defaultValue,
                                                defaultValue, toText, fromText});
    return MODEL_RESULT_OK;
}

MODEL_RESULT Model::createStringParameter(unsigned int id, QString const& defaultValue,
                                          QString const& name)
{
    m_stringParameters.insert(id, StringParameterInfo{id, 1, name, defaultValue, defaultValue});
    return MODEL_RESULT_OK;
}

MODEL_RESULT Model::setModelIntValue(unsigned int id, int value)
{
    auto it = m_intParameters.find(id);
    if (it == m_intParameters.end()) {
        return MODEL_RESULT_ERROR;
    }
    if (it->currentValue == value) {
        return MODEL_RESULT_OK;
    }
    // Not clamped: the range is advice to the controls.
    it->currentValue = value;
    updateParameter(id);
    return MODEL_RESULT_OK;
}

MODEL_RESULT Model::setModelStringValue(unsigned int id, QString const& value)
{
    auto it = m_stringParameters.find(id);
    if (it == m_stringParameters.end()) {
        return MODEL_RESULT_ERROR;
    }
    if (it->currentValue == value) {
        return MODEL_RESULT_OK;
    }
    it->currentValue = value;
    updateParameter(id);
    return MODEL_RESULT_OK;
}

void Model::updateParameter(unsigned int id)
{
    // Walk copies, so that observers registered during the walk are first called on the next
    // change. An observer unregistered during the walk (typically because it is being
    // destroyed) is no longer called: it may not exist any more.
    auto connections = m_connections.constFind(id);
    if (connections != m_connections.constEnd()) {
        QList<ModelConnectionIF*> const walk = connections.value();
        for (ModelConnectionIF* connection : walk) {
            if (connection != nullptr && m_connections.value(id).contains(connection)) {
                connection->updateParameter(id);
            }
        }
    }
    QList<ModelAssistant*> const assistants = m_assistants;
    for (ModelAssistant* assistant : assistants) {
        if (assistant != nullptr && m_assistants.contains(assistant)) {
            assistant->updateParameter(id);
        }
    }
}

MODEL_RESULT Model::registerModelConnection(ModelConnectionIF* connection)
{
    if (connection == nullptr) {
        return MODEL_RESULT_ERROR;
    }
    unsigned int const id = connection->getParameterId(nullptr);
    QList<ModelConnectionIF*>& list = m_connections[id];
    list.removeAll(nullptr);
    list.append(connection);
    updateParameter(id);
    return MODEL_RESULT_OK;
}

MODEL_RESULT Model::unregisterModelConnection(ModelConnectionIF* connection)
{
    if (connection == nullptr) {
        return MODEL_RESULT_ERROR;
    }
    auto it = m_connections.find(connection->getParameterId(nullptr));
    if (it == m_connections.end()) {
        return MODEL_RESULT_ERROR;
    }
    int const index = it->indexOf(connection);
    if (index < 0) {
        return MODEL_RESULT_ERROR;
    }
    (*it)[index] = nullptr;
    return MODEL_RESULT_OK;
}

MODEL_RESULT Model::registerModelAssistant(ModelAssistant* assistant)
{
    m_assistants.removeAll(nullptr);
    m_assistants.append(assistant);
    return MODEL_RESULT_OK;
}

MODEL_RESULT Model::unregisterModelAssistant(ModelAssistant* assistant)
{
    int const index = m_assistants.indexOf(assistant);
    if (index < 0) {
        return MODEL_RESULT_ERROR;
    }
    m_assistants[index] = nullptr;
    return MODEL_RESULT_OK;
}
