#pragma once

#include <cstdint>

constexpr uint64_t MsecsPerDay = 86400000;

// Milliseconds since local midnight, 0 to 86399999.
uint32_t getCurrentTimeInMilliseconds();
// The host's monotonic clock in milliseconds; unaffected by changes of the wall clock.
uint64_t getHostTimeInMilliseconds();
// Folds any millisecond count into one day.
uint64_t roundTo24Hours(uint64_t milliseconds);
