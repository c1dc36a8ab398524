#include "link/src/Clock.h"

#include <cerrno>
#include <ctime>

namespace spp {

void sleepMs(int milliseconds)
{
    timespec remaining{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
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

}  // namespace spp
