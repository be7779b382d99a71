#pragma once

#include "model/ModelAssistant.h"

#include <atomic>

class ModelIF;
class MillisecondClockIF;

// The pause after every complete system exclusive message, so that a receiving instrument has
// time to store a bulk dump: parameter 501 ("Bulk Interval (ms)"), only while parameter 1207
// ("Parser") is on. The transmit operation calls the waits on whatever thread sends, so the
// settings are atomics written by the GUI thread.
class MidiBulkIntervalManager : public ModelAssistant {
public:
    // The longest pause the manager makes, whatever a settings file says.
    static constexpr int MaximumInterval = 1000;

    explicit MidiBulkIntervalManager(ModelIF* model, MillisecondClockIF* clock = nullptr);
    ~MidiBulkIntervalManager();

    MidiBulkIntervalManager(MidiBulkIntervalManager const&) = delete;
    MidiBulkIntervalManager& operator=(MidiBulkIntervalManager const&) = delete;

    void waitBulkBeforeTransmission(const unsigned char* data, unsigned short size);
    // Busy-waits the interval when the message ends in F7 and the pause is enabled.
    void waitBulkAfterTransmission(const unsigned char* data, unsigned short size);
    // Off while the main window closes every window, so that nothing waits; on restores 501.
    void setEnabledBulkInterval(bool enabled);

    int interval() const { return m_interval.load(); }

    void updateParameter(unsigned int id) override;

private:
    void readInterval();

    ModelIF* m_model;
    MillisecondClockIF* m_clock;
    std::atomic<int> m_interval{0};
    std::atomic<bool> m_enabled{true};
};
