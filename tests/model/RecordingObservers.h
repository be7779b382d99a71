#pragma once

#include "model/ModelAssistant.h"
#include "model/ModelConnection.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

// Observers that write "<name>:<id>" into a shared log, so that tests can pin the order in
// which the model calls them.
class RecordingConnection : public QObject, public ModelConnection {
public:
    RecordingConnection(QString name, QStringList* log, QObject* parent = nullptr)
        : QObject(parent)
        , m_name(std::move(name))
        , m_log(log)
    {
    }

    void updateParameter(unsigned int id) override
    {
        m_log->append(QStringLiteral("%1:%2").arg(m_name).arg(id));
        if (onUpdate) {
            onUpdate(id);
        }
    }

    void modelChanged() override { ++modelChangedCount; }

    std::function<void(unsigned int)> onUpdate;
    int modelChangedCount = 0;

private:
    QString m_name;
    QStringList* m_log;
};

class RecordingAssistant : public ModelAssistant {
public:
    RecordingAssistant(QString name, QStringList* log)
        : m_name(std::move(name))
        , m_log(log)
    {
    }
    virtual ~RecordingAssistant() = default;

    void updateParameter(unsigned int id) override
    {
        m_log->append(QStringLiteral("%1:%2").arg(m_name).arg(id));
        if (onUpdate) {
            onUpdate(id);
        }
    }

    std::function<void(unsigned int)> onUpdate;

private:
    QString m_name;
    QStringList* m_log;
};
