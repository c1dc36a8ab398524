// SPDX-License-Identifier: MIT
// Monotonic time for the simulator's line clock, retries and trace stamps.
#pragma once

#include <chrono>
#include <cstdint>

namespace q57::sim {

using Micros = int64_t;

inline Micros nowMicros()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

constexpr Micros kNever = INT64_MAX;

} // namespace q57::sim
