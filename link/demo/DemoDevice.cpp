// SPDX-License-Identifier: MIT
// A scripted Q57 for the link demo: creates a pseudo-terminal, links
// <config home>/Zantherix/ports/com1 to it and answers one session:
// connect, one data frame in, one data frame out, release.
#include <cstdio>
#include <string>

#include "link/tests/ScriptedPeer.h"

using namespace spp;
using spp::test::ScriptedPeer;

namespace {

constexpr int kWaitMs = 10000;

void play(ScriptedPeer &device)
{
    if (!device.acceptConnect()) {
        std::puts("device: no connect frame arrived");
        return;
    }
    std::puts("device: connect frame received (protocol v4), acknowledged");
    LinkFrame frame{};
    if (!device.nextFrameOfKind(Data, frame, ProtocolVersion::V4, kWaitMs))
        return;
    device.acknowledge(frame.sequence);
    std::printf("device: data frame on channel %u, sequence %u: \"%.*s\", acknowledged\n", frame.channel,
                frame.sequence, frame.length, reinterpret_cast<const char *>(frame.payload));
    const std::string reply = "hello from the Q57";
    device.data(5, 0, std::vector<uint8_t>(reply.begin(), reply.end()));
    if (device.nextFrameOfKind(Acknowledge, frame, ProtocolVersion::V4, kWaitMs))
        std::printf("device: reply acknowledged by the host (sequence %u)\n", frame.sequence);
    if (device.nextFrameOfKind(Release, frame, ProtocolVersion::V4, kWaitMs)) {
        device.acknowledge(frame.sequence);
        std::puts("device: release frame received, acknowledged");
    }
    // Closing the terminal hangs it up and discards what the host has not read yet.
    device.silentFor(500);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CONFIG_HOME\n", argv[0]);
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // interleave with the host program's lines
    auto device = ScriptedPeer::onPseudoTerminal(argv[1]);
    if (!device->usable()) {
        std::fputs("device: no pseudo-terminal\n", stderr);
        return 1;
    }
    std::printf("device: listening on a pseudo-terminal, reachable as COM1:\n");
    std::fflush(stdout);
    device->run([](ScriptedPeer &d) { play(d); });
    device->join();
    std::fflush(stdout);
    return 0;
}
