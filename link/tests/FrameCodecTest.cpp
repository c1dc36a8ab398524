// SPDX-License-Identifier: MIT
// Byte-exact frames of every kind in both versions, and the receive parser
// over garbage, split frames, bad check values and the other version.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "link/codec/FrameCodec.h"

using namespace spp;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes withCrc(Bytes bytes)
{
    const uint16_t crc = crc16Arc(bytes.data(), bytes.size());
    bytes.push_back(static_cast<uint8_t>(crc));
    bytes.push_back(static_cast<uint8_t>(crc >> 8));
    return bytes;
}

LinkFrame frameOf(uint8_t kind, uint8_t channel = 0, uint8_t sequence = 0, Bytes payload = {})
{
    LinkFrame frame{};
    frame.kind = kind;
    frame.channel = channel;
    frame.sequence = sequence;
    frame.length = static_cast<uint16_t>(payload.size());
    if (!payload.empty())
        std::memcpy(frame.payload, payload.data(), payload.size());
    return frame;
}

Bytes build(const LinkFrame &frame, ProtocolVersion version, CheckMode check = CheckMode::Computed)
{
    uint8_t out[kMaxFrameSize];
    const size_t n = buildFrame(frame, version, check, out, sizeof out);
    return Bytes(out, out + n);
}

} // namespace

TEST(Crc16Arc, KnownValues)
{
    const std::string check = "123456789";
    EXPECT_EQ(crc16Arc(reinterpret_cast<const uint8_t *>(check.data()), check.size()), 0xBB3D);
    EXPECT_EQ(crc16ArcTable()[1], 0xC0C1);
    EXPECT_EQ(crc16ArcTable()[128], 0xA001);
    EXPECT_EQ(crc16Arc(nullptr, 0), 0);
}

struct BuildCase {
    const char *name;
    LinkFrame frame;
    ProtocolVersion version;
    Bytes expected;
};

LinkFrame statusFrame(uint8_t sequence, uint8_t code, uint8_t value)
{
    LinkFrame frame = frameOf(Status, 0, sequence);
    frame.status = code;
    frame.statusValue = value;
    return frame;
}

LinkFrame acknowledgeFrame(uint8_t sequence, uint8_t repeat)
{
    LinkFrame frame = frameOf(Acknowledge, 0, sequence);
    frame.status = repeat;
    return frame;
}

TEST(BuildFrame, EveryKindInBothVersions)
{
    const auto V4 = ProtocolVersion::V4;
    const auto V3 = ProtocolVersion::V3;
    const BuildCase cases[] = {
        {"attention v4", frameOf(AttentionToDevice), V4, {0xC8}},
        {"boot signal v4", frameOf(BootSignal), V4, {0xCC}},
        {"device attention v4", frameOf(AttentionFromDevice), V4, {0xC8}},
        {"reset v4", frameOf(Reset, 0, 0, {0x12, 0x34, 0x56, 0x78}), V4,
         withCrc({0xCE, 0x00, 0x00, 0x04, 0x12, 0x34, 0x56, 0x78})},
        {"configure v4", frameOf(Configure, 0, 3, {0x2A}), V4, withCrc({0xCD, 0x03, 0x00, 0x01, 0x2A})},
        {"acknowledge v4", acknowledgeFrame(7, 1), V4, withCrc({0xC9, 0x07, 0x00, 0x01, 0x01})},
        {"status v4", statusFrame(2, 1, 9), V4, withCrc({0xCA, 0x02, 0x00, 0x02, 0x01, 0x09})},
        {"connect v4", frameOf(Connect), V4, withCrc({0xCB, 0x00, 0x00, 0x00})},
        {"release v4", frameOf(Release, 0, 4), V4, withCrc({0xCF, 0x04, 0x00, 0x00})},
        {"data channel 5 v4",
         frameOf(Data, 5, 0, {'a', 'b', 'c'}),
         V4,
         {0xC5, 0x00, 0x00, 0x03, 'a', 'b', 'c', 0xAD, 0xDF}},
        {"data channel 0 v4", frameOf(Data, 0, 1, {0x00}), V4, withCrc({0xC1, 0x01, 0x00, 0x01, 0x00})},
        {"data channel 3 v4", frameOf(Data, 3, 1, {}), V4, withCrc({0xC0, 0x01, 0x00, 0x00})},
        {"attention v3", frameOf(AttentionToDevice), V3, {0xB8}},
        {"boot signal v3", frameOf(BootSignal), V3, {0xBC}},
        {"reset v3", frameOf(Reset, 0, 0, {0x12, 0x34, 0x56, 0x78}), V3,
         withCrc({0xBE, 0x00, 0x04, 0x12, 0x34, 0x56, 0x78})},
        {"configure v3", frameOf(Configure, 0, 0, {0x01}), V3, withCrc({0xBD, 0x00, 0x01, 0x01})},
        {"acknowledge v3", acknowledgeFrame(255, 0), V3, withCrc({0xB9, 0xFF, 0x01, 0x00})},
        {"status v3", statusFrame(1, 2, 0), V3, withCrc({0xBA, 0x01, 0x02, 0x02, 0x00})},
        {"connect v3", frameOf(Connect), V3, withCrc({0xBB, 0x00, 0x00})},
        {"release v3", frameOf(Release), V3, withCrc({0xBF, 0x00, 0x00})},
        {"data channel 1 v3", frameOf(Data, 1, 9, {1, 2}), V3, withCrc({0xB2, 0x09, 0x02, 1, 2})},
        {"data channel 2 v3", frameOf(Data, 2, 9, {}), V3, withCrc({0xB3, 0x09, 0x00})},
        {"data channel 4 v3", frameOf(Data, 4, 9, {}), V3, withCrc({0xB4, 0x09, 0x00})},
    };
    for (const BuildCase &c : cases)
        EXPECT_EQ(build(c.frame, c.version), c.expected) << c.name;
}

TEST(BuildFrame, UdpFramesCarryZeroCheckBytes)
{
    EXPECT_EQ(build(frameOf(Data, 5, 0, {'a', 'b', 'c'}), ProtocolVersion::V4, CheckMode::Unchecked),
              (Bytes{0xC5, 0x00, 0x00, 0x03, 'a', 'b', 'c', 0x00, 0x00}));
}

TEST(BuildFrame, SizeLimits)
{
    const Bytes v4Largest(1018, 0x55);
    const Bytes v4TooLong(1019, 0x55);
    EXPECT_EQ(build(frameOf(Data, 5, 0, v4Largest), ProtocolVersion::V4).size(), 1024u);
    EXPECT_TRUE(build(frameOf(Data, 5, 0, v4TooLong), ProtocolVersion::V4).empty());

    const Bytes v3Payload(200, 0x55);
    const Bytes v3Built = build(frameOf(Data, 5, 0, v3Payload), ProtocolVersion::V3);
    ASSERT_EQ(v3Built.size(), 205u);
    EXPECT_EQ(v3Built[2], 0xC8); // the length byte
    EXPECT_EQ(build(frameOf(Data, 5, 0, Bytes(255, 1)), ProtocolVersion::V3).size(), 260u);
    EXPECT_TRUE(build(frameOf(Data, 5, 0, Bytes(256, 1)), ProtocolVersion::V3).empty());

    EXPECT_TRUE(build(frameOf(Data, 6), ProtocolVersion::V4).empty());
    EXPECT_TRUE(build(frameOf(0), ProtocolVersion::V4).empty());
    EXPECT_TRUE(build(frameOf(11), ProtocolVersion::V4).empty());

    uint8_t small[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(buildFrame(frameOf(Data, 5, 0, {1, 2, 3}), ProtocolVersion::V4, CheckMode::Computed, small, sizeof small),
              0u);
    EXPECT_EQ(small[0], 0xEE) << "nothing written when the frame does not fit";
}

// ---- parser ----

struct Parsed {
    ReceiveVerdict verdict;
    size_t consumed;
    LinkFrame frame;
};

Parsed parse(const Bytes &bytes, ParseOptions options = {})
{
    Parsed p{};
    const ParseResult r = parseFrame(bytes.data(), bytes.size(), options, p.frame);
    p.verdict = r.verdict;
    p.consumed = r.consumed;
    return p;
}

TEST(ParseFrame, RoundTripsEveryKindTheDeviceSends)
{
    const LinkFrame frames[] = {
        frameOf(BootSignal),      frameOf(AttentionFromDevice), acknowledgeFrame(4, 1),
        statusFrame(9, 1, 200),   frameOf(Connect, 0, 1),       frameOf(Release, 0, 2),
        frameOf(Data, 0, 3, {1}), frameOf(Data, 1, 3, {1, 2}),  frameOf(Data, 2, 3, {}),
        frameOf(Data, 3, 3, {7}), frameOf(Data, 4, 3, {8}),     frameOf(Data, 5, 255, Bytes(1018, 0xA5)),
    };
    for (ProtocolVersion version : {ProtocolVersion::V4, ProtocolVersion::V3}) {
        for (const LinkFrame &sent : frames) {
            if (version == ProtocolVersion::V3 && sent.length > 255)
                continue;
            const Bytes bytes = build(sent, version);
            const Parsed p = parse(bytes, {version, CheckMode::Computed, LinkSide::Host});
            ASSERT_EQ(p.verdict, SPP_RF_FRAME) << int(sent.kind) << " v" << int(version);
            EXPECT_EQ(p.consumed, bytes.size());
            EXPECT_EQ(p.frame.kind, sent.kind);
            EXPECT_EQ(p.frame.sequence,
                      sent.kind == BootSignal || sent.kind == AttentionFromDevice ? 0 : sent.sequence);
            EXPECT_EQ(p.frame.status, sent.kind == Acknowledge || sent.kind == Status ? sent.status : 0);
            if (sent.kind == Data) {
                EXPECT_EQ(p.frame.channel, sent.channel);
                ASSERT_EQ(p.frame.length, sent.length);
                EXPECT_EQ(0, std::memcmp(p.frame.payload, sent.payload, sent.length));
            }
        }
    }
}

TEST(ParseFrame, EachSideTakesOnlyWhatTheOtherSends)
{
    // type code -> accepted by host, accepted by device
    struct Row {
        uint8_t typeCode;
        bool host;
        bool device;
    };
    const Row rows[] = {{0, true, true},   {5, true, true},   {6, false, false}, {7, false, false},
                        {8, true, true},   {9, true, true},   {10, true, false}, {11, true, true},
                        {12, true, false}, {13, false, true}, {14, false, true}, {15, true, true}};
    for (const Row &row : rows) {
        for (LinkSide side : {LinkSide::Host, LinkSide::Device}) {
            // A well-formed frame of that type: single byte, or a body that fits the kind.
            Bytes bytes{static_cast<uint8_t>(0xC0 | row.typeCode)};
            if (row.typeCode != 8 && row.typeCode != 12) {
                const uint8_t body = row.typeCode == 9                          ? 1
                                     : row.typeCode == 10                       ? 2
                                     : row.typeCode == 11 || row.typeCode == 15 ? 0
                                                                                : 1;
                bytes.insert(bytes.end(), {0x00, 0x00, body});
                bytes.insert(bytes.end(), body, 0x00);
                bytes = withCrc(bytes);
            }
            const bool accepted = side == LinkSide::Host ? row.host : row.device;
            EXPECT_EQ(parse(bytes, {ProtocolVersion::V4, CheckMode::Computed, side}).verdict,
                      accepted ? SPP_RF_FRAME : SPP_RF_BAD)
                << "type " << int(row.typeCode) << (side == LinkSide::Host ? " host" : " device");
        }
    }
    EXPECT_EQ(parse({0xC8}, {ProtocolVersion::V4, CheckMode::Computed, LinkSide::Host}).frame.kind,
              AttentionFromDevice);
    EXPECT_EQ(parse({0xC8}, {ProtocolVersion::V4, CheckMode::Computed, LinkSide::Device}).frame.kind,
              AttentionToDevice);
}

TEST(ParseFrame, Verdicts)
{
    const Bytes data = build(frameOf(Data, 5, 0, {'a', 'b', 'c'}), ProtocolVersion::V4);
    Bytes badCheck = data;
    badCheck[8] ^= 0x01;
    Bytes zeroCheck = data;
    zeroCheck[7] = zeroCheck[8] = 0;
    const ParseOptions serial{};
    const ParseOptions udp{ProtocolVersion::V4, CheckMode::Unchecked, LinkSide::Host};
    const ParseOptions v3{ProtocolVersion::V3, CheckMode::Computed, LinkSide::Host};

    struct Case {
        const char *name;
        Bytes bytes;
        ParseOptions options;
        ReceiveVerdict verdict;
        size_t consumed;
    };
    const Case cases[] = {
        {"empty", {}, serial, SPP_RF_NEED_MORE, 0},
        {"garbage byte", {0x41, 0xC5}, serial, SPP_RF_BAD, 1},
        {"bit 7 clear", {0x45, 0, 0, 0, 0, 0}, serial, SPP_RF_BAD, 1},
        {"header only", {0xC5}, serial, SPP_RF_NEED_MORE, 0},
        {"first half", Bytes(data.begin(), data.begin() + 5), serial, SPP_RF_NEED_MORE, 0},
        {"all but the last byte", Bytes(data.begin(), data.end() - 1), serial, SPP_RF_NEED_MORE, 0},
        {"complete", data, serial, SPP_RF_FRAME, 9},
        {"bad check value", badCheck, serial, SPP_RF_BAD, 1},
        {"zero check over serial", zeroCheck, serial, SPP_RF_BAD, 1},
        {"zero check over UDP", zeroCheck, udp, SPP_RF_FRAME, 9},
        {"bad check over UDP", badCheck, udp, SPP_RF_FRAME, 9},
        {"v4 frame while using v3", data, v3, SPP_RF_BAD, 1},
        {"v3 frame while using v4", build(frameOf(Data, 5, 0, {1}), ProtocolVersion::V3), serial, SPP_RF_BAD, 1},
        {"v3 attention while using v4", {0xB8}, serial, SPP_RF_BAD, 1},
        {"acknowledge announcing 2 bytes", withCrc({0xC9, 0, 0, 2, 0, 0}), serial, SPP_RF_BAD, 1},
        {"acknowledge announcing 2 bytes over UDP", {0xC9, 0, 0, 2, 0, 0, 0, 0}, udp, SPP_RF_BAD, 1},
        {"connect announcing 1 byte", withCrc({0xCB, 0, 0, 1, 0}), serial, SPP_RF_BAD, 1},
        {"data longer than any frame", {0xC5, 0, 0x03, 0xFB}, udp, SPP_RF_BAD, 1},
        {"data of the largest size, incomplete", {0xC5, 0, 0x03, 0xFA}, udp, SPP_RF_NEED_MORE, 0},
        {"frame followed by more",
         [&] {
             Bytes b = data;
             b.push_back(0xC8);
             return b;
         }(),
         serial, SPP_RF_FRAME, 9},
    };
    for (const Case &c : cases) {
        const Parsed p = parse(c.bytes, c.options);
        EXPECT_EQ(p.verdict, c.verdict) << c.name;
        EXPECT_EQ(p.consumed, c.consumed) << c.name;
    }
}

// The host's loop over the parser: drop a byte on SPP_RF_BAD, take the frame on SPP_RF_FRAME.
TEST(ParseFrame, FindsFramesBehindGarbage)
{
    Bytes stream{0x41, 0xC5, 0x00}; // garbage, then a header that never completes
    const Bytes first = build(frameOf(Data, 5, 1, {'x'}), ProtocolVersion::V4);
    const Bytes second = build(acknowledgeFrame(2, 0), ProtocolVersion::V4);
    stream.insert(stream.end(), first.begin(), first.end());
    stream.push_back(0xFF);
    stream.insert(stream.end(), second.begin(), second.end());

    std::vector<LinkFrame> found;
    size_t position = 0;
    while (position < stream.size()) {
        LinkFrame frame{};
        const ParseResult r = parseFrame(stream.data() + position, stream.size() - position, {}, frame);
        if (r.verdict == SPP_RF_NEED_MORE)
            break;
        if (r.verdict == SPP_RF_FRAME)
            found.push_back(frame);
        position += r.consumed;
    }
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].kind, Data);
    EXPECT_EQ(found[0].payload[0], 'x');
    EXPECT_EQ(found[1].kind, Acknowledge);
    EXPECT_EQ(found[1].sequence, 2);
}

TEST(ChannelMap, TypeCodesByChannel)
{
    const uint8_t expected[] = {1, 2, 3, 0, 4, 5};
    for (uint8_t channel = 0; channel < kChannelCount; ++channel) {
        EXPECT_EQ(dataTypeCode(channel), expected[channel]);
        EXPECT_EQ(channelOfTypeCode(expected[channel]), channel);
    }
}
