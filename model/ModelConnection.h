#pragma once

#include "model/ModelConnectionIF.h"

class ModelIF;

// Base of every bound control: holds the parameter identifier and the (not owned) model, and
// forwards range, value and text queries to the model for that identifier.
// Set the identifier before connecting: registration files the connection under it.
class ModelConnection : public ModelConnectionIF {
public:
    ModelConnection() = default;
    ~ModelConnection() override;
    ModelConnection(ModelConnection const&) = delete;
    ModelConnection& operator=(ModelConnection const&) = delete;

    void updateParameter(unsigned int id) override;
    unsigned int getParameterId(MODEL_RESULT* result = nullptr) const override;
    MODEL_RESULT setParameterId(unsigned int id) override;
    MODEL_RESULT connectModel(ModelIF* model) override;
    MODEL_RESULT disconnectModel() override;
    bool isConnected(MODEL_RESULT* result = nullptr) override;
    void modelChanged() override;
    int getMinimumValue(MODEL_RESULT* result = nullptr) override;
    int getMaximumValue(MODEL_RESULT* result = nullptr) override;
    QString getParameterString(int value, MODEL_RESULT* result = nullptr) override;

    MODEL_RESULT setCurrentValue(int value);
    int getCurrentValue(MODEL_RESULT* result = nullptr) const;
    int getDefaultValue(MODEL_RESULT* result = nullptr) const;

private:
    MODEL_RESULT unregisterEverywhere(ModelIF* model);

    unsigned int m_parameterId = UndefinedId;
    ModelIF* m_model = nullptr;
};
