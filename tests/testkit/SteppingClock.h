#pragma once

#include "engine/MillisecondClock.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

// A test clock that moves on by a fixed step at every reading, up to an optional limit, and wraps
// at the end of the day like the program's clock. Busy waits on it finish after a known number
// of readings, whatever the load of the machine.
class SteppingClock : public MillisecondClockIF {
public:
    static constexpr std::uint64_t NoLimit = ~std::uint64_t(0);

    explicit SteppingClock(std::uint64_t start = 0, std::uint64_t step = 1, std::uint64_t limit = NoLimit)
        : m_now(start), m_step(step), m_limit(limit)
    {
    }

    int elapsed() override
    {
        std::uint64_t now = m_now.load();
        while (now < m_limit.load() && !m_now.compare_exchange_weak(now, std::min(now + m_step.load(), m_limit.load()))) {
        }
        ++m_readings;
        return int(now % MillisecondsPerDay);
    }

    // Time without wrapping, as the test counts it.
    std::uint64_t now() const { return m_now.load(); }
    void setLimit(std::uint64_t limit) { m_limit = limit; }
    void setStep(std::uint64_t step) { m_step = step; }
    std::uint64_t readings() const { return m_readings.load(); }

private:
    std::atomic<std::uint64_t> m_now;
    std::atomic<std::uint64_t> m_step;
    std::atomic<std::uint64_t> m_limit;
    std::atomic<std::uint64_t> m_readings{0};
};
