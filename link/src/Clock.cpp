// SPDX-License-Identifier: MIT
#include "link/src/Clock.h"

#include <cerrno>
#include <ctime>

namespace spp {

void sleepUs(long long microseconds)
{
    timespec remaining{static_cast<time_t>(microseconds / 1000000), static_cast<long>(microseconds % 1000000) * 1000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

void sleepMs(int milliseconds)
{
    sleepUs(static_cast<long long>(milliseconds) * 1000);
}

int Deadline::remainingMs() const
{
    using namespace std::chrono;
    const auto left = end_ - steady_clock::now();
    if (left <= steady_clock::duration::zero())
        return 0;
    // Round up so that a wait never ends just before the deadline and spins.
    return static_cast<int>(duration_cast<milliseconds>(left + milliseconds(1) - nanoseconds(1)).count());
}

} // namespace spp
