// SPDX-License-Identifier: MIT
#pragma once
// The clock and the target the link benchmarks share: a call that must not
// wait for its time-out has to return within TargetMs.

#include <ctime>

namespace spp::bench {

inline constexpr double TargetMs = 100.0;

// Milliseconds on the monotonic clock.
inline double nowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

} // namespace spp::bench
