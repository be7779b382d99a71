#pragma once

#include "support/TimeFunctions.h"

#include <chrono>
#include <cstdint>
#include <optional>

// A millisecond counter that wraps to 0 once a day, read by the waits of the transmitter threads
// and the bulk interval manager. Tests inject a clock of their own to run these waits across the
// wrap without waiting a day.
class MillisecondClockIF {
public:
    static constexpr int MillisecondsPerDay = int(MsecsPerDay);

    virtual ~MillisecondClockIF() = default;
    // Milliseconds since some start, modulo one day: 0 to 86399999.
    virtual int elapsed() = 0;

    // When elapsed() first shows `reading` (at most half a day away, ahead or just passed), so
    // that a wait can sleep instead of polling. A clock that does not follow real time (a test's)
    // has no such moment: waits poll it.
    virtual std::optional<std::chrono::steady_clock::time_point> momentOf(int /*reading*/) { return std::nullopt; }

    // Milliseconds from an earlier reading to a later one, across at most one wrap.
    static int millisecondsBetween(int earlier, int later)
    {
        const int difference = later - earlier;
        return difference < 0 ? difference + MillisecondsPerDay : difference;
    }

    // A reading some milliseconds after another, wrapped like the readings.
    static int readingAfter(int reading, int milliseconds) { return (reading + milliseconds) % MillisecondsPerDay; }
};

// The program's clock: monotonic from its construction, so that changes of the wall clock or of
// daylight saving time neither stall nor rush a running wait.
class SteadyMillisecondClock : public MillisecondClockIF {
public:
    SteadyMillisecondClock() : m_start(std::chrono::steady_clock::now()) {}

    int elapsed() override { return int(millisecondsSinceStart() % MillisecondsPerDay); }

    std::optional<std::chrono::steady_clock::time_point> momentOf(int reading) override
    {
        const std::int64_t sinceStart = millisecondsSinceStart();
        std::int64_t ahead = reading - sinceStart % MillisecondsPerDay;
        if (ahead > MillisecondsPerDay / 2) {
            ahead -= MillisecondsPerDay;
        } else if (ahead <= -MillisecondsPerDay / 2) {
            ahead += MillisecondsPerDay;
        }
        return m_start + std::chrono::milliseconds(sinceStart + ahead);
    }

    // One shared instance for the threads that are not given a clock of their own.
    static MillisecondClockIF* instance()
    {
        static SteadyMillisecondClock clock;
        return &clock;
    }

private:
    std::int64_t millisecondsSinceStart() const
    {
        const auto sinceStart = std::chrono::steady_clock::now() - m_start;
        return std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count();
    }

    std::chrono::steady_clock::time_point m_start;
};
