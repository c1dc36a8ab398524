// SPDX-License-Identifier: MIT
// Measures how soon an exchange fails once its serial port goes away (the
// pseudo-terminal's other side closes, as when a USB adapter is unplugged):
// an sppReceive with a 30 s time-out, started on a port that has just hung
// up, and an sppSend whose acknowledgement the peer answers by hanging up.
// Target: each returns 0 within 100 ms instead of waiting out its time-out.
// Exit status 1 when a figure misses the target.
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/link/BenchClock.h"
#include "link/include/spp.h"
#include "link/tests/ScriptedPeer.h"
#include "tests/support/ScratchFolder.h"

namespace {

using spp::bench::nowMs;
using spp::bench::TargetMs;
using spp::test::ScriptedPeer;

constexpr uint16_t kTimeoutMs = 30000;

// One handle on a fresh peer, connected; false when that failed.
bool openConnected(SppHandle &h, ScriptedPeer &peer)
{
    if (!peer.usable() || sppInit(&h, sizeof h, "COM1:", 2) != 1 || sppOpen(&h) != 1)
        return false;
    peer.run([](ScriptedPeer &p) { p.acceptConnect(); });
    const bool connected = sppConnect(&h, 1) == 1;
    peer.join();
    return connected;
}

bool report(const char *what, uint16_t result, double ms)
{
    const bool met = result == 0 && ms < TargetMs;
    std::printf("%-44s result %u after %8.2f ms (time-out %u ms)\n", what, result, ms, kTimeoutMs);
    return met;
}

} // namespace

int main()
{
    const std::string folder = q57::testing::makeScratchFolder("spp-hang-up-bench").string();
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    bool met = true;
    {
        auto peer = ScriptedPeer::onPseudoTerminal(folder);
        SppHandle h;
        if (!openConnected(h, *peer)) {
            std::puts("could not set up the pseudo-terminal link");
            return 2;
        }
        peer->hangUp();
        uint8_t buffer[16];
        uint16_t length = 0;
        const double start = nowMs();
        const uint16_t result = sppReceive(&h, 5, kTimeoutMs, buffer, sizeof buffer, &length);
        met = report("sppReceive on a port that has hung up", result, nowMs() - start) && met;
        sppClose(&h);
    }
    {
        auto peer = ScriptedPeer::onPseudoTerminal(folder);
        SppHandle h;
        if (!openConnected(h, *peer)) {
            std::puts("could not set up the pseudo-terminal link");
            return 2;
        }
        double hungUpAt = 0;
        peer->run([&hungUpAt](ScriptedPeer &p) {
            spp::LinkFrame frame{};
            p.nextFrameOfKind(spp::Data, frame, spp::ProtocolVersion::V4, 10000);
            hungUpAt = nowMs();
            p.hangUp();
        });
        const uint8_t payload[] = {'u', 'p'};
        const uint16_t result = sppSend(&h, 5, payload, sizeof payload, kTimeoutMs / 1000);
        const double end = nowMs();
        peer->join();
        met = report("sppSend whose port hangs up while it waits", result, end - hungUpAt) && met;
        sppClose(&h);
    }
    std::filesystem::remove_all(folder);
    std::printf("target: failure within %.0f ms of the hang-up: %s\n", TargetMs, met ? "met" : "MISSED");
    return met ? 0 : 1;
}
