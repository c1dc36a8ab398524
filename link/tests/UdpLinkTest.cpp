// SPDX-License-Identifier: MIT
// What only the UDP transport does: whose datagrams count, and who else may
// bind port 47999 while a handle holds it.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/UdpBind.h"
#include "link/tests/LinkFixture.h"

using namespace spp;
using namespace spp::test;
using Bytes = std::vector<uint8_t>;

namespace {

bool canBind(const char *address, int option)
{
    return q57::testing::canBindUdp(address, SPP_UDP_PORT, option);
}

using q57::testing::UdpBindAttempt;

// The addresses and options another program would try to share the port with.
const std::vector<UdpBindAttempt> kAttempts = {
    {"127.0.0.1", SO_REUSEADDR}, {"127.0.0.1", SO_REUSEPORT}, {"127.0.0.1", 0},
    {"0.0.0.0", SO_REUSEADDR},   {"0.0.0.0", SO_REUSEPORT},   {"127.0.0.3", SO_REUSEPORT},
};

} // namespace

// Frames from anyone but the device's address and port are dropped unread:
// another host, and another program on the device's own machine.
TEST_F(LinkTest, DatagramsFromAnyoneButTheDeviceAreIgnored)
{
    for (const char *source : {"127.0.0.3", "127.0.0.2"}) {
        SCOPED_TRACE(source);
        TearDown();
        SetUp();
        connect();
        peer->run([source](ScriptedPeer &p) {
            const Bytes injected{0xC5, 0x00, 0x00, 0x04, 'e', 'v', 'i', 'l', 0x00, 0x00};
            ScriptedPeer::sendFrom(source, 0, injected); // 0: any port but the link's
            p.data(5, 0, {'g', 'o', 'o', 'd'});
            LinkFrame ack{};
            p.nextFrameOfKind(Acknowledge, ack, ProtocolVersion::V4, 3000);
        });
        uint8_t buffer[16] = {};
        uint16_t length = 0;
        ASSERT_EQ(sppReceive(&h, 5, 3000, buffer, sizeof buffer, &length), 1);
        EXPECT_EQ(Bytes(buffer, buffer + length), (Bytes{'g', 'o', 'o', 'd'}));
        peer->join();
        EXPECT_EQ(h.v4State.rxSequence, 1);
        const auto frames = peer->frames();
        EXPECT_EQ(std::count_if(frames.begin(), frames.end(), [](const LinkFrame &f) { return f.kind == Acknowledge; }),
                  1)
            << "the injected frame was not acknowledged either";
    }
}

TEST_F(LinkTest, AnOpenHandleHoldsThePortAgainstItsOwnUser)
{
    // A second handle, in this process or another run, cannot open: it would
    // split the device's answers with the first.
    SppHandle other;
    ASSERT_EQ(sppInit(&other, sizeof other, "127.0.0.2", 2), 1);
    EXPECT_EQ(sppOpen(&other), 0);
    EXPECT_EQ(other.socket, -1) << "a refused open keeps nothing open";
    for (const UdpBindAttempt &a : kAttempts) {
        EXPECT_FALSE(canBind(a.address, a.option)) << a.address << " option " << a.option;
    }
    ASSERT_EQ(sppClose(&h), 1);
    ASSERT_EQ(sppOpen(&other), 1) << "free again once the first is closed";
    EXPECT_EQ(sppClose(&other), 1);
    ASSERT_EQ(sppOpen(&h), 1);
    connect();
}

TEST_F(LinkTest, AnOpenHandleHoldsThePortAgainstOtherUsers)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    // Another user tries every way to receive what the device sends to
    // 127.0.0.1:47999, or to stand in for the device at 127.0.0.2:47999.
    std::vector<UdpBindAttempt> attempts = kAttempts;
    attempts.insert(attempts.end(), {{"127.0.0.2", SO_REUSEPORT}, {"127.0.0.2", SO_REUSEADDR}});
    EXPECT_EQ(q57::testing::udpBindsAsAnotherUser(attempts, SPP_UDP_PORT), 0)
        << "binds that succeeded as another user (-1: could not become one)";
}

TEST_F(LinkTest, AUdpHandleCannotFallBackToV3)
{
    // Nobody answers: the v4 try times out and every v3 write fails (v3 is serial only).
    EXPECT_EQ(sppConnect(&h, 1), 0);
    EXPECT_EQ(h.activeProtocol, SPP_PROTOCOL_V4);
    peer->run([](ScriptedPeer &p) { p.silentFor(50); });
    peer->join();
    EXPECT_EQ(peer->received().size(), 1u + 6u) << "attention byte and the v4 connect frame only";
}
