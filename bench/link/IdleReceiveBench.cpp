// SPDX-License-Identifier: MIT
// Measures the processor time an sppReceive with a 2000 ms time-out uses
// while the device stays silent, over the serial path (a pseudo-terminal)
// and over UDP. Target: well under 20 ms each (1% of a core).
// Exit status 1 when a figure misses the target.
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "link/include/spp.h"
#include "link/tests/ScriptedPeer.h"
#include "tests/support/ScratchFolder.h"

namespace {

constexpr uint16_t kTimeoutMs = 2000;
constexpr double kTargetCpuMs = 20.0;

double clockMs(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

// Returns the processor time of one idle receive, or a negative value when the handle would not open.
double idleReceive(const char *port)
{
    SppHandle h;
    if (sppInit(&h, sizeof h, port, 2) != 1 || sppOpen(&h) != 1) {
        sppClose(&h);
        return -1;
    }
    uint8_t buffer[128];
    uint16_t length = 0;
    const double wallStart = clockMs(CLOCK_MONOTONIC);
    const double cpuStart = clockMs(CLOCK_PROCESS_CPUTIME_ID);
    const uint16_t result = sppReceive(&h, 5, kTimeoutMs, buffer, sizeof buffer, &length);
    const double cpu = clockMs(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
    const double wall = clockMs(CLOCK_MONOTONIC) - wallStart;
    sppClose(&h);
    std::printf("%-10s result %u, waited %7.1f ms, processor time %6.2f ms (%.3f%% of a core)\n", port, result, wall,
                cpu, 100.0 * cpu / wall);
    return cpu;
}

} // namespace

int main()
{
    const std::string folder = q57::testing::makeScratchFolder("spp-bench").string();
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    bool met = true;
    {
        auto peer = spp::test::ScriptedPeer::onPseudoTerminal(folder);
        const double serial = peer->usable() ? idleReceive("COM1:") : -1;
        met = met && serial >= 0 && serial < kTargetCpuMs;
    }
    const double udp = idleReceive("127.0.0.2");
    met = met && udp >= 0 && udp < kTargetCpuMs;
    std::filesystem::remove_all(folder);
    std::printf("target: under %.0f ms of processor time per idle %u ms receive: %s\n", kTargetCpuMs, kTimeoutMs,
                met ? "met" : "MISSED");
    return met ? 0 : 1;
}
