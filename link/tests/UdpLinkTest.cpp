// What only the UDP transport does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/tests/LinkFixture.h"

using namespace spp;
using namespace spp::test;
using Bytes = std::vector<uint8_t>;

TEST_F(LinkTest, DatagramsFromAStrangerAreIgnored)
{
    connect();
    peer->run([](ScriptedPeer &p) {
        const Bytes injected{0xC5, 0x00, 0x00, 0x04, 'e', 'v', 'i', 'l', 0x00, 0x00};
        p.sendFromStranger(injected);
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
