#pragma once

#include <QObject>
#include <QStringList>

// Collects the signals of a transmitter thread as "start n", "progress n" and "finish n", on the
// test's thread through queued connections, so that a test reads them without racing the worker.
class SignalLog : public QObject {
public:
    template <typename Thread>
    explicit SignalLog(Thread* thread)
    {
        connect(thread, &Thread::startTransmittion, this, [this](quint32 total) { append("start", total); });
        connect(thread, &Thread::transmittionProgress, this, [this](quint32 sent) { append("progress", sent); });
        connect(thread, &Thread::finishTransmittion, this, [this](qint32 result) { append("finish", result); });
    }

    QStringList entries;

    int count(const QString& entry) const { return entries.count(entry); }

private:
    void append(const char* what, qint64 value) { entries.append(QString("%1 %2").arg(what).arg(value)); }
};
