// SPDX-License-Identifier: MIT
// The exported frame operations against the scripted device, v4, on the
// transport this test program is built for (serial pseudo-terminal or UDP).
#include <gtest/gtest.h>
#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "link/tests/LinkFixture.h"

using namespace spp;
using namespace spp::test;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr uint8_t kSessionChannel = 5;

Bytes text(const std::string &s)
{
    return Bytes(s.begin(), s.end());
}

// The data frames, or acknowledgements, among the frames the host sent.
std::vector<LinkFrame> framesOfKind(const ScriptedPeer &peer, uint8_t kind)
{
    std::vector<LinkFrame> found;
    for (const LinkFrame &frame : peer.frames())
        if (frame.kind == kind)
            found.push_back(frame);
    return found;
}

} // namespace

TEST_F(LinkTest, ConnectSendsAttentionThenConnectFrame)
{
    h.v4State.txSequence = 42;
    connect();
    const Bytes expected = [&] {
        Bytes b{0xC8};
        const Bytes frame = hostFrame({0xCB, 0x00, 0x00, 0x00});
        b.insert(b.end(), frame.begin(), frame.end());
        return b;
    }();
    EXPECT_EQ(peer->received(), expected);
    EXPECT_EQ(h.activeProtocol, SPP_PROTOCOL_V4);
    EXPECT_EQ(h.v4State.txSequence, 1);
    EXPECT_EQ(h.v4State.rxSequence, 0);
}

TEST_F(LinkTest, SendRepeatsTheSameSequenceUntilAcknowledged)
{
    connect();
    peer->run([](ScriptedPeer &p) {
        LinkFrame frame{};
        if (!p.nextFrameOfKind(Data, frame, ProtocolVersion::V4, 3000))
            return;
        p.acknowledge(static_cast<uint8_t>(frame.sequence + 7)); // names another frame: ignored
        if (p.nextFrameOfKind(Data, frame, ProtocolVersion::V4, 3000))
            p.acknowledge(frame.sequence);
    });
    const Bytes payload = text("abc");
    EXPECT_EQ(sppSend(&h, kSessionChannel, payload.data(), 3, 2), 1);
    peer->join();

    const auto sent = framesOfKind(*peer, Data);
    ASSERT_EQ(sent.size(), 2u);
    for (const LinkFrame &frame : sent) {
        EXPECT_EQ(frame.sequence, 1);
        EXPECT_EQ(frame.channel, kSessionChannel);
        EXPECT_EQ(Bytes(frame.payload, frame.payload + frame.length), payload);
    }
    EXPECT_EQ(h.v4State.txSequence, 2);
}

TEST_F(LinkTest, StatusAnswersToASentFrame)
{
    struct Case {
        uint8_t code;
        uint8_t value;
        uint16_t result;
        uint8_t txSequenceAfter;
        size_t tries;
    };
    const Case cases[] = {
        {1, 7, 1, 8, 2},                    // resynchronise: next try, acknowledged under the new number
        {2, 0, 1, 2, 2},                    // try again at once
        {5, 0, 1, 2, 1},                    // ignored; the acknowledgement follows
        {200, 0, 1, 2, 1}, {0, 0, 0, 2, 1}, // refused: fail at once, number still advances
        {3, 0, 0, 2, 1},   {4, 0, 0, 2, 1}, {6, 0, 0, 2, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE("status code " + std::to_string(c.code));
        connect();
        const size_t framesBefore = framesOfKind(*peer, Data).size();
        peer->run([c](ScriptedPeer &p) {
            LinkFrame frame{};
            if (!p.nextFrameOfKind(Data, frame, ProtocolVersion::V4, 3000))
                return;
            p.status(frame.sequence, c.code, c.value);
            if (c.result == 0)
                return;
            if (c.tries == 2 && !p.nextFrameOfKind(Data, frame, ProtocolVersion::V4, 3000))
                return;
            p.acknowledge(c.code == 1 ? c.value : frame.sequence);
        });
        const Bytes payload = text("x");
        EXPECT_EQ(sppSend(&h, kSessionChannel, payload.data(), 1, 2), c.result);
        peer->join();
        EXPECT_EQ(h.v4State.txSequence, c.txSequenceAfter);
        const auto sent = framesOfKind(*peer, Data);
        ASSERT_EQ(sent.size() - framesBefore, c.tries);
        EXPECT_EQ(sent.back().sequence, 1) << "a retry repeats the frame's own number";
        if (c.result == 0) {
            EXPECT_TRUE(peer->silentFor(50)) << "no further try after a refusal";
        }
    }
}

TEST_F(LinkTest, ReceiveAcknowledgesAndRecognisesRepeatsAcrossTheWrap)
{
    connect();
    h.v4State.rxSequence = 255; // as after 255 frames
    peer->run([](ScriptedPeer &p) {
        LinkFrame ack{};
        p.data(kSessionChannel, 255, text("A"));
        p.nextFrameOfKind(Acknowledge, ack, ProtocolVersion::V4, 3000);
        p.data(kSessionChannel, 255, text("A")); // the host's acknowledgement was lost
        p.nextFrameOfKind(Acknowledge, ack, ProtocolVersion::V4, 3000);
        p.data(3, 0, text("other channel"));
        p.nextFrameOfKind(Acknowledge, ack, ProtocolVersion::V4, 3000);
        p.data(kSessionChannel, 1, text("B"));
        p.nextFrameOfKind(Acknowledge, ack, ProtocolVersion::V4, 3000);
    });
    uint8_t buffer[16] = {};
    uint16_t length = 0;
    ASSERT_EQ(sppReceive(&h, kSessionChannel, 3000, buffer, sizeof buffer, &length), 1);
    EXPECT_EQ(Bytes(buffer, buffer + length), text("A"));
    ASSERT_EQ(sppReceive(&h, kSessionChannel, 3000, buffer, sizeof buffer, &length), 1);
    EXPECT_EQ(Bytes(buffer, buffer + length), text("B"));
    peer->join();

    struct Ack {
        uint8_t sequence;
        uint8_t repeat;
        bool operator==(const Ack &) const = default;
    };
    std::vector<Ack> acks;
    for (const LinkFrame &frame : framesOfKind(*peer, Acknowledge))
        acks.push_back({frame.sequence, frame.status});
    EXPECT_EQ(acks, (std::vector<Ack>{{255, 0}, {255, 1}, {0, 0}, {1, 0}}));
    EXPECT_EQ(h.v4State.rxSequence, 2);
}

TEST_F(LinkTest, ReceiveCutsAPayloadToTheCapacity)
{
    connect();
    Bytes payload(200);
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<uint8_t>(i);
    // A copy: the peer thread may still be sending when the test has ended.
    peer->run([payload](ScriptedPeer &p) { p.data(kSessionChannel, 0, payload); });
    uint8_t buffer[129];
    std::memset(buffer, 0xEE, sizeof buffer);
    uint16_t length = 0;
    ASSERT_EQ(sppReceive(&h, kSessionChannel, 3000, buffer, 128, &length), 1);
    EXPECT_EQ(length, 128);
    EXPECT_EQ(Bytes(buffer, buffer + 128), Bytes(payload.begin(), payload.begin() + 128));
    EXPECT_EQ(buffer[128], 0xEE);
}

TEST_F(LinkTest, FlushDiscardsWhatFollowsTheFrameReceived)
{
    // A receive reads no further than its own frame, so a flush right after it
    // still discards the next one.
    connect();
    peer->run([](ScriptedPeer &p) {
        p.data(kSessionChannel, 0, text("first"));
        p.data(kSessionChannel, 1, text("stale"));
    });
    uint8_t buffer[16] = {};
    uint16_t length = 0;
    ASSERT_EQ(sppReceive(&h, kSessionChannel, 3000, buffer, sizeof buffer, &length), 1);
    EXPECT_EQ(Bytes(buffer, buffer + length), text("first"));
    peer->join();
    // v4: header, sequence, two length bytes, "stale", two check bytes.
    ASSERT_TRUE(waitForQueuedInput(4 + 5 + 2)) << "the second frame reached the host's port";
    EXPECT_EQ(sppFlushRx(&h), 1);
    EXPECT_EQ(sppReceive(&h, kSessionChannel, 200, buffer, sizeof buffer, &length), 0);
}

TEST_F(LinkTest, ReceiveFindsTheFrameBehindGarbage)
{
    connect();
    peer->run([](ScriptedPeer &p) {
        Bytes noise{0x41};
        uint8_t v3Frame[16];
        LinkFrame other{};
        other.kind = Data;
        other.channel = kSessionChannel;
        other.length = 1;
        const size_t n = buildFrame(other, ProtocolVersion::V3, CheckMode::Computed, v3Frame, sizeof v3Frame);
        noise.insert(noise.end(), v3Frame, v3Frame + n);
        p.sendBytes(noise);
        p.data(kSessionChannel, 0, text("ok"));
    });
    uint8_t buffer[16] = {};
    uint16_t length = 0;
    ASSERT_EQ(sppReceive(&h, kSessionChannel, 3000, buffer, sizeof buffer, &length), 1);
    EXPECT_EQ(Bytes(buffer, buffer + length), text("ok"));
}

TEST_F(LinkTest, ReceiveGivesUpAtTheTimeOut)
{
    uint8_t buffer[4];
    uint16_t length = 99;
    EXPECT_EQ(sppReceive(&h, kSessionChannel, 100, buffer, sizeof buffer, &length), 0);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(sppReceive(&h, 6, 100, buffer, sizeof buffer, &length), 0);
}

TEST_F(LinkTest, WaitsForEightSignals)
{
    struct Case {
        const char *name;
        Bytes signals;
        bool boot;
        uint16_t timeoutMs;
        uint16_t result;
    };
    Bytes appSignals(7, 0xC8);
    const Bytes channel0 = hostFrame({0xC1, 0x00, 0x00, 0x00}); // a data frame on channel 0 counts too
    appSignals.insert(appSignals.end(), channel0.begin(), channel0.end());
    const Case cases[] = {
        {"eight boot signals", Bytes(8, 0xCC), true, 20000, 1},
        {"seven boot signals", Bytes(7, 0xCC), true, 300, 0},
        {"attention bytes are not boot signals", Bytes(8, 0xC8), true, 300, 0},
        {"seven attention bytes and channel 0", appSignals, false, 20000, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        sppFlushRx(&h);
        peer->run([&c](ScriptedPeer &p) { p.sendBytes(c.signals); });
        // That it returns at the eighth, not at the time-out, is measured by
        // bench/link/spp_early_return_bench.
        const uint16_t result = c.boot ? sppWaitResetBoot(&h, c.timeoutMs) : sppWaitResetApp(&h, c.timeoutMs);
        peer->join();
        EXPECT_EQ(result, c.result);
    }
}

TEST_F(LinkTest, ReleaseConfigureAndReset)
{
    connect();
    peer->run([](ScriptedPeer &p) {
        LinkFrame frame{};
        if (p.nextFrameOfKind(Configure, frame, ProtocolVersion::V4, 3000))
            p.acknowledge(frame.sequence);
        p.nextFrameOfKind(Reset, frame, ProtocolVersion::V4, 3000);
        if (p.nextFrameOfKind(Release, frame, ProtocolVersion::V4, 3000))
            p.acknowledge(frame.sequence);
    });
    EXPECT_EQ(sppConfig(&h, 0x2A), 1);
    EXPECT_EQ(sppReset(&h), 1);
    EXPECT_EQ(sppRelease(&h), 1);
    peer->join();

    const auto configure = framesOfKind(*peer, Configure);
    ASSERT_EQ(configure.size(), 1u);
    EXPECT_EQ(configure[0].sequence, 1);
    EXPECT_EQ(Bytes(configure[0].payload, configure[0].payload + configure[0].length), Bytes{0x2A});
    const auto reset = framesOfKind(*peer, Reset);
    ASSERT_EQ(reset.size(), 1u);
    EXPECT_EQ(reset[0].sequence, 0);
    EXPECT_EQ(Bytes(reset[0].payload, reset[0].payload + reset[0].length), (Bytes{0x12, 0x34, 0x56, 0x78}));
    const auto release = framesOfKind(*peer, Release);
    ASSERT_EQ(release.size(), 1u);
    EXPECT_EQ(release[0].sequence, 2);
    // Each operation starts with its own attention byte.
    EXPECT_EQ(framesOfKind(*peer, AttentionToDevice).size(), 1u + 3u);
}

TEST_F(LinkTest, RefusedSendsWriteNothing)
{
    connect();
    const Bytes big(1019, 0x11);
    EXPECT_EQ(sppSend(&h, 6, big.data(), 1, 1), 0);
    EXPECT_EQ(sppSend(&h, kSessionChannel, big.data(), 1019, 1), 0);
    EXPECT_EQ(sppSend(&h, kSessionChannel, nullptr, 4, 1), 0);
    EXPECT_EQ(sppSend(&h, kSessionChannel, big.data(), 4, 0), 0) << "no tries: nothing can be acknowledged";
    const size_t before = peer->received().size();
    peer->run([](ScriptedPeer &p) { p.silentFor(50); });
    peer->join();
    // The zero-try send still puts its attention byte on the line, nothing more.
    EXPECT_EQ(Bytes(peer->received().begin() + static_cast<long>(before), peer->received().end()), Bytes{0xC8});
}

TEST_F(LinkTest, AHandleThatIsNotOpenFailsAtOnce)
{
    // Reads fail (EBADF) instead of reading as silence, so no call waits out
    // its time-out (how soon each returns: bench/link/spp_early_return_bench).
    ASSERT_EQ(sppClose(&h), 1);
    constexpr uint16_t kLongMs = 30000;
    uint8_t buffer[8] = {};
    uint16_t length = 99;
    EXPECT_EQ(sppReceive(&h, kSessionChannel, kLongMs, buffer, sizeof buffer, &length), 0);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(sppWaitResetBoot(&h, kLongMs), 0);
    EXPECT_EQ(sppWaitResetApp(&h, kLongMs), 0);
    EXPECT_EQ(sppSend(&h, kSessionChannel, buffer, 1, 30), 0);
    EXPECT_EQ(sppConnect(&h, 30), 0);
    EXPECT_EQ(sppRelease(&h), 0);
    uint32_t count = 99;
    EXPECT_EQ(sppCommRead(&h, buffer, sizeof buffer, &count), 0);
}

TEST_F(LinkTest, InitOfAnOpenHandleClosesItFirst)
{
    const int descriptor = overUdp() ? h.socket : h.portFd;
    ASSERT_GE(descriptor, 0);
    ASSERT_EQ(sppInit(&h, sizeof h, overUdp() ? "127.0.0.2" : "COM1:", 2), 1);
    EXPECT_EQ(h.portFd, -1);
    EXPECT_EQ(h.socket, -1);
    errno = 0;
    EXPECT_EQ(fcntl(descriptor, F_GETFD), -1) << "the descriptor was closed, not leaked";
    EXPECT_EQ(errno, EBADF);
    // The port (its lock) or the UDP port was let go: the handle opens again.
    ASSERT_EQ(sppOpen(&h), 1);
    connect();
}
