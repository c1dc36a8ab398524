// SPDX-License-Identifier: MIT
// The simulator on UDP 127.0.0.2:47999, driven through the exported functions,
// and who else may talk to it or bind beside it.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "tests/support/UdpBind.h"
#include "sim/SampleDevice.h"
#include "sim/read/ReadClient.h"
#include "sim/tests/SimFixture.h"

namespace q57::sim::testing {
namespace {

sockaddr_in udpAddress(const char *address, uint16_t port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = inet_addr(address);
    return a;
}

TEST(SimUdp, HandshakeAndReadOverUdp)
{
    RunningSim sim({true, {}});
    ASSERT_TRUE(sim.ok()) << sim.error();
    ReadClient client;
    ASSERT_TRUE(client.connect(sim.port())) << client.error();
    Bytes data;
    ASSERT_TRUE(client.readItem(1, 0xA000, "", data)) << client.error();
    EXPECT_EQ(data, sampleContents(SampleSize::Small).items[1]);
    client.close();
    // UDP frames carry two zero bytes where the serial line has the check value.
    for (const TraceLine &line : readTrace(sim.traceFile()))
        if (line.direction == "tx" && line.kind == "ack") {
            EXPECT_EQ(line.wire.substr(line.wire.size() - 4), "0000") << line.wire;
        }
}

TEST(SimUdp, CorruptedFramesAreRepeated)
{
    RunningSim sim({true, {"--corrupt-every", "7", "--garbage-between-frames"}});
    ASSERT_TRUE(sim.ok()) << sim.error();
    ReadClient client;
    ASSERT_TRUE(client.connect(sim.port())) << client.error();
    Bytes data;
    EXPECT_TRUE(client.readItem(4, 0x8400, "", data)) << client.error();
    EXPECT_EQ(data, sampleContents(SampleSize::Small).items[4]);
    int corrupted = 0;
    for (const TraceLine &line : readTrace(sim.traceFile()))
        corrupted += line.note == "corrupted" ? 1 : 0;
    EXPECT_GE(corrupted, 1);
}

TEST(SimUdp, DatagramsFromAnyPortButTheLinksAreIgnored)
{
    RunningSim sim({true, {}});
    ASSERT_TRUE(sim.ok()) << sim.error();
    // Another program of the host's machine sends an attention byte and a
    // connect frame (v4 over UDP: two zero check bytes) from a port of its own.
    const int stranger = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(stranger, 0);
    const sockaddr_in own = udpAddress("127.0.0.1", 0);
    ASSERT_EQ(bind(stranger, reinterpret_cast<const sockaddr *>(&own), sizeof own), 0);
    const sockaddr_in device = udpAddress("127.0.0.2", SPP_UDP_PORT);
    for (const Bytes &frame : {hex("C8"), hex("CB 00 00 00 00 00")})
        ASSERT_EQ(
            sendto(stranger, frame.data(), frame.size(), 0, reinterpret_cast<const sockaddr *>(&device), sizeof device),
            static_cast<ssize_t>(frame.size()));

    {
        // The link's connect comes after those datagrams in the device's
        // queue, so once it is acknowledged the device has dealt with them.
        HostLink host(sim.port());
        ASSERT_TRUE(host.opened);
        ASSERT_TRUE(host.connect());
    }
    uint8_t answer[64];
    EXPECT_EQ(recv(stranger, answer, sizeof answer, MSG_DONTWAIT), -1) << "the device answered the stranger";
    EXPECT_TRUE(errno == EAGAIN || errno == EWOULDBLOCK);
    close(stranger);
    const auto trace = readTrace(sim.traceFile());
    EXPECT_EQ(std::count_if(trace.begin(), trace.end(),
                            [](const TraceLine &line) { return line.direction == "rx" && line.kind == "connect"; }),
              1)
        << "only the link's connect frame reached the device";
}

TEST(SimUdp, AnotherUserCannotBindBesideTheDevice)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    RunningSim sim({true, {}});
    ASSERT_TRUE(sim.ok()) << sim.error();
    std::vector<q57::testing::UdpBindAttempt> attempts;
    for (const char *address : {"127.0.0.2", "0.0.0.0"})
        for (int option : {SO_REUSEPORT, SO_REUSEADDR, 0})
            attempts.push_back({address, option});
    EXPECT_EQ(q57::testing::udpBindsAsAnotherUser(attempts, SPP_UDP_PORT), 0)
        << "binds that succeeded as another user (-1: could not become one)";
}

} // namespace
} // namespace q57::sim::testing
