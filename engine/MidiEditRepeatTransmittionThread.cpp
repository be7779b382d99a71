#include "engine/MidiEditRepeatTransmittionThread.h"

MidiEditRepeatTransmittionThread::MidiEditRepeatTransmittionThread(QObject* parent, ModelIF* model,
                                                                   MidiTransmitterIF* transmitter,
                                                                   MillisecondClockIF* clock)
    : MidiEditTransmittionThread(parent, model, transmitter, clock, DeferredStart{})
{
    startWorker();
}

MidiEditRepeatTransmittionThread::~MidiEditRepeatTransmittionThread()
{
    finishWorker();
}

void MidiEditRepeatTransmittionThread::run()
{
    QString text;
    while (waitForHandOver(text)) {
        for (;;) {
            TransmittionResult result = TransmittionFinished;
            {
                std::lock_guard<SetterPriorityMutex> lock(m_lock);
                takeNewestHandOver(text);
                result = transmitMessage(text);
                if (result == TransmittionFinished) {
                    sleepThread(m_repeatInterval.load());
                }
            }
            if (m_quit.load()) {
                return;
            }
            // A failed or stopped sending has reported already; repeating a failure would only
            // send more of what the editor is about to abandon.
            if (result != TransmittionFinished) {
                break;
            }
            if (!m_running.load()) {
                std::lock_guard<SetterPriorityMutex> lock(m_lock);
                interruptTransmittion();
                break;
            }
        }
    }
}

MidiEditRepeatTransmittionThread::TransmittionResult MidiEditRepeatTransmittionThread::transmitMessage(
    QString const& text)
{
    return parseMessage(text);
}
