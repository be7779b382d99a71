#pragma once

#include "engine/MidiEditTransmittionThread.h"

// Sends the handed-over text again and again, with the repeat interval between the end of one
// sending and the start of the next, until stopped. The editor makes one per repetition.
class MidiEditRepeatTransmittionThread : public MidiEditTransmittionThread {
    Q_OBJECT

public:
    MidiEditRepeatTransmittionThread(QObject* parent, ModelIF* model, MidiTransmitterIF* transmitter,
                                     MillisecondClockIF* clock = nullptr);
    ~MidiEditRepeatTransmittionThread() override;

    // Milliseconds between sendings; set before the text is handed over.
    void setRepeatInterval(int milliseconds) { m_repeatInterval = milliseconds; }

protected:
    void run() override;
    TransmittionResult transmitMessage(QString const& text) override;

private:
    std::atomic<int> m_repeatInterval{0};
};
