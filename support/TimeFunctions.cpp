#include "support/TimeFunctions.h"

#include <QTime>

#include <chrono>

uint32_t getCurrentTimeInMilliseconds()
{
    return static_cast<uint32_t>(QTime::currentTime().msecsSinceStartOfDay());
}

uint64_t getHostTimeInMilliseconds()
{
    auto const sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count())
           / 1000000u;
}

uint64_t roundTo24Hours(uint64_t milliseconds)
{
    return milliseconds % MsecsPerDay;
}
