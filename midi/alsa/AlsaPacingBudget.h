#pragma once

#include <chrono>
#include <cstddef>

// What may still wait in a kernel port's raw-MIDI buffer. The kernel accepts every event for
// such a port at once and drops what the buffer has no room for, so the sender keeps the count
// itself: bytes go in as they are sent and drain at the cable rate.
class AlsaPacingBudget {
public:
    using Clock = std::chrono::steady_clock;

    // A raw-MIDI buffer holds 4096 bytes; with both output ports sending to the same device
    // each keeps at most half of it waiting.
    static constexpr double BudgetBytes = 2048;
    // A MIDI cable carries 31250 baud, ten bits a byte.
    static constexpr std::chrono::microseconds ByteTime{320};

    // How long a sender must wait at now before bytes may go (zero when they fit).
    Clock::duration waitBefore(std::size_t bytes, Clock::time_point now);
    // Counts bytes as sent at now.
    void take(std::size_t bytes, Clock::time_point now);
    // A new destination starts with an empty buffer.
    void reset(Clock::time_point now);

private:
    void drain(Clock::time_point now);

    double m_waitingBytes = 0;
    Clock::time_point m_lastDrain;
};
