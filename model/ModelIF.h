#pragma once

#include "model/ModelResult.h"

#include <QString>

class ModelConnectionIF;
class ModelAssistant;

typedef QString (*ModelToTextConverter)(int value, MODEL_RESULT* result);
typedef int (*ModelFromTextConverter)(QString const& text, MODEL_RESULT* result);

// The registry of integer and string parameters that controls, views and engine objects share.
class ModelIF {
public:
    virtual ~ModelIF() = default;
    virtual int getModelIntValue(unsigned int id, MODEL_RESULT* result = nullptr) = 0;
    virtual MODEL_RESULT setModelIntValue(unsigned int id, int value) = 0;
    virtual MODEL_RESULT createIntParameter(unsigned int id, int minimum, int maximum, int defaultValue,
                                            QString const& name, ModelToTextConverter toText,
                                            ModelFromTextConverter fromText) = 0;
    virtual QString getModelStringValue(unsigned int id, MODEL_RESULT* result = nullptr) = 0;
    virtual MODEL_RESULT setModelStringValue(unsigned int id, QString const& value) = 0;
    virtual MODEL_RESULT createStringParameter(unsigned int id, QString const& defaultValue,
                                               QString const& name) = 0;
    virtual void updateParameter(unsigned int id) = 0;
    virtual MODEL_RESULT registerModelConnection(ModelConnectionIF* connection) = 0;
    virtual MODEL_RESULT unregisterModelConnection(ModelConnectionIF* connection) = 0;
    virtual int getModelMinimumValue(unsigned int id, MODEL_RESULT* result = nullptr) = 0;
    virtual int getModelMaximumValue(unsigned int id, MODEL_RESULT* result = nullptr) = 0;
    virtual int getModelDefaultValue(unsigned int id, MODEL_RESULT* result = nullptr) = 0;
    virtual QString getModelDefaultStringValue(unsigned int id, MODEL_RESULT* result = nullptr) = 0;
    virtual QString getModelParameterName(unsigned int id, MODEL_RESULT* result = nullptr) = 0;
    virtual QString getParameterString(unsigned int id, int value, MODEL_RESULT* result = nullptr) = 0;
    virtual MODEL_RESULT registerModelAssistant(ModelAssistant* assistant) = 0;
    virtual MODEL_RESULT unregisterModelAssistant(ModelAssistant* assistant) = 0;
};
