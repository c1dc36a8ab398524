// SPDX-License-Identifier: MIT
// Measures the link calls that must return long before their time-out:
//  - sppWaitResetBoot and sppWaitResetApp given 20 s: they return at the
//    eighth signal, not when the time is up;
//  - every call on a handle that is not open, given 30 s: it fails at once
//    instead of reading the closed port as silence;
//  - every exchange on a serial port that has hung up, given 30 s: it fails
//    at once (spp_hang_up_bench times the first send and receive after it).
// Target: each returns within 100 ms. Exit status 1 when a figure misses it.
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/link/BenchClock.h"
#include "link/include/spp.h"
#include "link/tests/ScriptedPeer.h"
#include "tests/support/ScratchFolder.h"

namespace {

using spp::bench::nowMs;
using spp::bench::TargetMs;
using spp::test::ScriptedPeer;
using Bytes = std::vector<uint8_t>;

constexpr uint16_t kLongMs = 30000;
constexpr uint16_t kSignalWaitMs = 20000;

// Times call(), which must return `wanted`; prints the figure, true when met.
bool measure(const char *what, uint16_t wanted, const std::function<uint16_t()> &call)
{
    const double start = nowMs();
    const uint16_t result = call();
    const double ms = nowMs() - start;
    const bool met = result == wanted && ms < TargetMs;
    std::printf("%-52s result %u after %8.2f ms%s\n", what, result, ms, met ? "" : "  MISSED");
    return met;
}

// A handle on a fresh peer, open; connected too when `connect`.
bool openOn(SppHandle &h, ScriptedPeer &peer, bool connect)
{
    if (!peer.usable() || sppInit(&h, sizeof h, "COM1:", 2) != 1 || sppOpen(&h) != 1)
        return false;
    if (!connect)
        return true;
    peer.run([](ScriptedPeer &p) { p.acceptConnect(); });
    const bool connected = sppConnect(&h, 1) == 1;
    peer.join();
    return connected;
}

bool signalWaits(const std::string &folder)
{
    bool met = true;
    const struct {
        const char *what;
        uint8_t signal;
        bool boot;
    } cases[] = {
        {"sppWaitResetBoot after eight boot signals", 0xCC, true},
        {"sppWaitResetApp after eight attention bytes", 0xC8, false},
    };
    for (const auto &c : cases) {
        auto peer = ScriptedPeer::onPseudoTerminal(folder);
        SppHandle h;
        if (!openOn(h, *peer, false))
            return false;
        peer->run([&c](ScriptedPeer &p) { p.sendBytes(Bytes(8, c.signal)); });
        met = measure(c.what, 1, [&] {
            return c.boot ? sppWaitResetBoot(&h, kSignalWaitMs) : sppWaitResetApp(&h, kSignalWaitMs);
        }) && met;
        peer->join();
        sppClose(&h);
    }
    return met;
}

// Each exchange of the link on `h`, which cannot work: all must fail at once.
bool exchangesFail(const char *where, SppHandle &h)
{
    uint8_t buffer[8] = {};
    uint16_t length = 0;
    uint32_t count = 0;
    const struct {
        const char *call;
        std::function<uint16_t()> run;
    } calls[] = {
        {"sppReceive", [&] { return sppReceive(&h, 5, kLongMs, buffer, sizeof buffer, &length); }},
        {"sppWaitResetBoot", [&] { return sppWaitResetBoot(&h, kLongMs); }},
        {"sppWaitResetApp", [&] { return sppWaitResetApp(&h, kLongMs); }},
        {"sppSend", [&] { return sppSend(&h, 5, buffer, 1, kLongMs / 1000); }},
        {"sppConnect", [&] { return sppConnect(&h, kLongMs / 1000); }},
        {"sppCommRead", [&] { return sppCommRead(&h, buffer, sizeof buffer, &count); }},
        {"sppCommWrite", [&] { return sppCommWrite(&h, buffer, 1, &count); }},
    };
    bool met = true;
    for (const auto &c : calls)
        met = measure((std::string(c.call) + " " + where).c_str(), 0, c.run) && met;
    return met;
}

} // namespace

int main()
{
    const std::string folder = q57::testing::makeScratchFolder("spp-early-return-bench").string();
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    bool met = signalWaits(folder);
    {
        auto peer = ScriptedPeer::onPseudoTerminal(folder);
        SppHandle h;
        if (!openOn(h, *peer, false))
            return 2;
        sppClose(&h);
        met = exchangesFail("on a handle that is not open", h) && met;
    }
    {
        auto peer = ScriptedPeer::onPseudoTerminal(folder);
        SppHandle h;
        if (!openOn(h, *peer, true))
            return 2;
        peer->hangUp();
        met = exchangesFail("on a port that has hung up", h) && met;
        sppClose(&h);
    }
    std::filesystem::remove_all(folder);
    std::printf("target: each within %.0f ms: %s\n", TargetMs, met ? "met" : "MISSED");
    return met ? 0 : 1;
}
