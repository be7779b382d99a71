#pragma once

#include "engine/MidiTransmitterIF.h"
#include "engine/SetterPriorityMutex.h"
#include "model/ModelAssistant.h"
#include "small/MidiLibrary/midilib_data.h"
#include "small/MidiLibrary/midilib_parser.h"

#include <QString>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>

class MillisecondClockIF;
class ModelIF;

// Sends a message text (hexadecimal pairs, system exclusive dumps of any size) without blocking
// the window: the editor hands a text over, the worker cleans it, converts it 8192 characters
// at a time, splits it into messages with its parser while parameter 1207 ("Parser") is on, and
// transmits them one by one, reporting start, progress and the result through queued signals.
class MidiEditTransmittionThread : public QThread, public ModelAssistant {
    Q_OBJECT

public:
    enum TransmittionResult : qint32 {
        TransmittionFinished = 0,
        TransmittionStopped = 1,
        TransmittionFailed = 2,
    };

    static constexpr int ChunkCharacters = 8192;

    // Starts the worker at once. clock: the clock of the repeat wait, the program's when null.
    MidiEditTransmittionThread(QObject* parent, ModelIF* model, MidiTransmitterIF* transmitter,
                               MillisecondClockIF* clock = nullptr);
    ~MidiEditTransmittionThread() override;

    // Hands a text over to the worker; waits while a transmission is running. Every text handed
    // over is sent once, in order.
    virtual void setTransmittionMessage(QString const& text);
    // Stops the transmission in progress and returns once it has stopped.
    virtual void stopTransmittion();
    // Custom messages pass by the bulk interval wait.
    void setBulkIntervalIgnored(bool ignored);
    // True from a hand-over until it is stopped.
    bool isTransmittionRunning() const { return m_running.load(); }

    void updateParameter(unsigned int id) override;

signals:
    // Half the number of characters left after cleaning: the bytes to send.
    void startTransmittion(quint32 byteTotal);
    // Bytes sent so far, after every message (or every chunk while the parser is off).
    void transmittionProgress(quint32 bytesSent);
    // A TransmittionResult. A stopped or failed transmission reports 1 or 2, then 0.
    void finishTransmittion(qint32 result);

protected:
    // For subclasses, which start the worker at the end of their own constructor so that it
    // never runs before they are complete.
    struct DeferredStart {};
    MidiEditTransmittionThread(QObject* parent, ModelIF* model, MidiTransmitterIF* transmitter,
                               MillisecondClockIF* clock, DeferredStart);

    void startWorker();
    // Sets quit, wakes the worker and waits for it; every destructor calls it before its own
    // members go.
    void finishWorker();

    void run() override;
    // Sends one text; the caller holds the transmission lock.
    virtual TransmittionResult transmitMessage(QString const& text);
    // Clears the parser and reports 1 when the user stopped, 2 for an error.
    virtual TransmittionResult interruptTransmittion();
    TransmittionResult parseMessage(QString const& text);
    // Busy-waits the milliseconds on the clock, or until stopped or quit, letting setters through.
    void sleepThread(int milliseconds);

    // Waits for a hand-over and takes the oldest text; false when the worker must end.
    bool waitForHandOver(QString& text);
    // Takes the newest text handed over since, if any, dropping older ones.
    bool takeNewestHandOver(QString& text);

    // Held for one whole transmission; the worker lets the window's setters through between two
    // messages and while it waits.
    SetterPriorityMutex m_lock;
    std::atomic<bool> m_quit{false};
    std::atomic<bool> m_running{false};

private:
    bool transmitBytes(const unsigned char* data, unsigned short size, unsigned char eventType, quint32& sent);

    ModelIF* m_model;
    MidiTransmitterIF* m_transmitter;
    MillisecondClockIF* m_clock;

    std::mutex m_handOverMutex;
    std::condition_variable m_wake;
    std::deque<QString> m_handOvers;

    // Guarded by m_lock.
    MIDILIB_Parser m_parser;
    MIDILIB_Event m_event;
    MIDILIB_Data m_eventData;
    bool m_parserEnabled = true;
    // A parser switched while a message was being taken apart is started afresh at the next chunk,
    // not under the walk in progress.
    bool m_parserResetPending = false;
    bool m_bulkIntervalIgnored = false;
};
