// SPDX-License-Identifier: MIT
// Millisecond timing for the link's time-outs and pauses.
#pragma once

#include <chrono>

namespace spp {

void sleepMs(int milliseconds);
void sleepUs(long long microseconds);

// A time-out that starts when it is made.
class Deadline {
public:
    explicit Deadline(int milliseconds)
        : end_(std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds))
    {
    }
    bool passed() const { return std::chrono::steady_clock::now() >= end_; }
    int remainingMs() const;

private:
    std::chrono::steady_clock::time_point end_;
};

} // namespace spp
