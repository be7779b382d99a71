#pragma once

#include "model/ModelIF.h"

#include <QHash>
#include <QList>
#include <QString>

class ModelConnectionIF;
class ModelAssistant;

// The parameter registry. It owns only its parameter records; connections and assistants
// unregister themselves before they die. Used from the GUI thread only: it has no lock.
class Model : public ModelIF {
public:
    struct IntParameterInfo {
        unsigned int id;
        unsigned int type; // always 0
        QString name;
        int minimum;
        int maximum;
        int defaultValue;
        int currentValue;
        ModelToTextConverter toText;
        ModelFromTextConverter fromText;
    };

    struct StringParameterInfo {
        unsigned int id;
        unsigned int type; // always 1
        QString name;
        QString defaultValue;
        QString currentValue;
    };

    Model() = default;
    ~Model() override = default;
    Model(Model const&) = delete;
    Model& operator=(Model const&) = delete;

    int getModelIntValue(unsigned int id, MODEL_RESULT* result = nullptr) override;
    MODEL_RESULT setModelIntValue(unsigned int id, int value) override;
    MODEL_RESULT createIntParameter(unsigned int id, int minimum, int maximum, int defaultValue,
                                    QString const& name, ModelToTextConverter toText,
                                    ModelFromTextConverter fromText) override;
    QString getModelStringValue(unsigned int id, MODEL_RESULT* result = nullptr) override;
    MODEL_RESULT setModelStringValue(unsigned int id, QString const& value) override;
    MODEL_RESULT createStringParameter(unsigned int id, QString const& defaultValue,
                                       QString const& name) override;
    void updateParameter(unsigned int id) override;
    MODEL_RESULT registerModelConnection(ModelConnectionIF* connection) override;
    MODEL_RESULT unregisterModelConnection(ModelConnectionIF* connection) override;
    int getModelMinimumValue(unsigned int id, MODEL_RESULT* result = nullptr) override;
    int getModelMaximumValue(unsigned int id, MODEL_RESULT* result = nullptr) override;
    int getModelDefaultValue(unsigned int id, MODEL_RESULT* result = nullptr) override;
    QString getModelDefaultStringValue(unsigned int id, MODEL_RESULT* result = nullptr) override;
    QString getModelParameterName(unsigned int id, MODEL_RESULT* result = nullptr) override;
    QString getParameterString(unsigned int id, int value, MODEL_RESULT* result = nullptr) override;
    MODEL_RESULT registerModelAssistant(ModelAssistant* assistant) override;
    MODEL_RESULT unregisterModelAssistant(ModelAssistant* assistant) override;

private:
    IntParameterInfo const* findInt(unsigned int id, MODEL_RESULT* result) const;
    StringParameterInfo const* findString(unsigned int id, MODEL_RESULT* result) const;

    QHash<unsigned int, IntParameterInfo> m_intParameters;
    QHash<unsigned int, StringParameterInfo> m_stringParameters;
    // Unregistering leaves a null slot; the next registration under the same key compacts.
    QHash<unsigned int, QList<ModelConnectionIF*>> m_connections;
    QList<ModelAssistant*> m_assistants;
};
