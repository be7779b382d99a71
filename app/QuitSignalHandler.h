#pragma once

#include <QObject>

class QSocketNotifier;

// SIGINT, SIGTERM and SIGHUP (Ctrl+C in a terminal, kill, the session ending) end the program the
// way File > Quit does instead of killing it with the settings unwritten. The handler itself only
// writes the signal's number into a pipe; the event loop reads it and reports quitRequested, so
// nothing but that write ever runs inside the handler. One instance at a time; it restores the
// default actions when it goes.
class QuitSignalHandler : public QObject {
    Q_OBJECT

public:
    explicit QuitSignalHandler(QObject* parent = nullptr);
    ~QuitSignalHandler() override;

signals:
    void quitRequested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier* m_notifier = nullptr;
};
