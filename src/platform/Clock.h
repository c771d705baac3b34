#pragma once

#include <chrono>
#include <cstdint>

// High-resolution counter and sleep, standing in for the platform's
// performance counter and millisecond sleep.
namespace platform {

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void sleepMilliseconds(int ms);

} // namespace platform
