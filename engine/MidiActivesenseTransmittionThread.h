#pragma once

#include "support/ValueRange.h"
#include "engine/MidiRealtimeTransmittionThread.h"

// Sends active sensing to both outputs once per interval while playing, the first one interval
// after play starts. Each interval is measured from the end of the previous sending.
class MidiActivesenseTransmittionThread : public MidiRealtimeTransmittionThread {
    Q_OBJECT

public:
    static constexpr unsigned char ActivesenseMessage = 0xFE;
    static constexpr unsigned short ActivesenseMessageSize = 1;
    // Milliseconds, the range of the active sensing view.
    static constexpr int DefaultInterval = ActiveSenseValue.defaultValue;
    static constexpr int MinimumInterval = ActiveSenseValue.minimum;
    static constexpr int MaximumInterval = ActiveSenseValue.maximum;

    explicit MidiActivesenseTransmittionThread(QObject* parent, MidiTransmitterIF* transmitter,
                                               MillisecondClockIF* clock = nullptr);
    ~MidiActivesenseTransmittionThread() override;

    // Kept within 100..1000 ms; applies to the interval in progress.
    void setActivesenseInterval(int milliseconds);
    // Switching off waits for the interval in progress, whose message still goes out.
    void setPlayActivesensingFlag(bool play);

private:
    void resumePlaying() override {}
    void playOnce() override;

    std::atomic<int> m_interval{DefaultInterval};
};
