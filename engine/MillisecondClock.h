#pragma once

#include "support/TimeFunctions.h"

#include <chrono>
#include <cstdint>

// A millisecond counter that wraps to 0 once a day, read by the busy waits of the transmitter
// threads and the bulk interval manager. Tests inject a clock of their own to run these waits
// across the wrap without waiting a day.
class MillisecondClockIF {
public:
    static constexpr int MillisecondsPerDay = int(MsecsPerDay);

    virtual ~MillisecondClockIF() = default;
    // Milliseconds since some start, modulo one day: 0 to 86399999.
    virtual int elapsed() = 0;

    // Milliseconds from an earlier reading to a later one, across at most one wrap.
    static int millisecondsBetween(int earlier, int later)
    {
        const int difference = later - earlier;
        return difference < 0 ? difference + MillisecondsPerDay : difference;
    }
};

// The program's clock: monotonic from its construction, so that changes of the wall clock or of
// daylight saving time neither stall nor rush a running wait.
class SteadyMillisecondClock : public MillisecondClockIF {
public:
    SteadyMillisecondClock() : m_start(std::chrono::steady_clock::now()) {}

    int elapsed() override
    {
        const auto sinceStart = std::chrono::steady_clock::now() - m_start;
        const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count();
        return int(milliseconds % MillisecondsPerDay);
    }

    // One shared instance for the threads that are not given a clock of their own.
    static MillisecondClockIF* instance()
    {
        static SteadyMillisecondClock clock;
        return &clock;
    }

private:
    std::chrono::steady_clock::time_point m_start;
};
