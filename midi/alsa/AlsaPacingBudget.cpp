#include "midi/alsa/AlsaPacingBudget.h"

#include <algorithm>

AlsaPacingBudget::Clock::duration AlsaPacingBudget::waitBefore(std::size_t bytes, Clock::time_point now)
{
    drain(now);
    const double excess = m_waitingBytes + double(bytes) - BudgetBytes;
    if (excess <= 0) {
        return Clock::duration::zero();
    }
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double, std::micro>(excess * double(ByteTime.count())));
}

void AlsaPacingBudget::take(std::size_t bytes, Clock::time_point now)
{
    drain(now);
    m_waitingBytes += double(bytes);
}

void AlsaPacingBudget::reset(Clock::time_point now)
{
    m_waitingBytes = 0;
    m_lastDrain = now;
}

void AlsaPacingBudget::drain(Clock::time_point now)
{
    const double drained = std::chrono::duration<double>(now - m_lastDrain) / std::chrono::duration<double>(ByteTime);
    m_waitingBytes = std::max(0.0, m_waitingBytes - drained);
    m_lastDrain = now;
}
