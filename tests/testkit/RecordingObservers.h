#pragma once

#include "model/ModelAssistant.h"
#include "model/ModelConnection.h"

#include <QObject>
#include <QStringList>
#include <functional>

// Observers that write "<name>:<id>" into a shared log, so that tests can pin the order in
// which the model calls them; onUpdate runs inside the call.
template <typename Observer>
class Recording : public Observer {
public:
    Recording(QString name, QStringList* log) : m_name(std::move(name)), m_log(log) {}
    virtual ~Recording() = default;

    void updateParameter(unsigned int id) override
    {
        m_log->append(QStringLiteral("%1:%2").arg(m_name).arg(id));
        if (onUpdate)
            onUpdate(id);
    }

    std::function<void(unsigned int)> onUpdate;

private:
    QString m_name;
    QStringList* m_log;
};

using RecordingAssistant = Recording<ModelAssistant>;

class RecordingConnection : public QObject, public Recording<ModelConnection> {
public:
    RecordingConnection(QString name, QStringList* log, QObject* parent = nullptr)
        : QObject(parent), Recording(std::move(name), log)
    {
    }
    void modelChanged() override { ++modelChangedCount; }
    int modelChangedCount = 0;
};
