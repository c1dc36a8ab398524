// What only the serial transport does: the v3 fallback, the line settings,
// the raw byte functions.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "link/tests/LinkFixture.h"

using namespace spp;
using namespace spp::test;
using Bytes = std::vector<uint8_t>;

namespace {

// Number of bytes equal to value right in front of position.
size_t runBefore(const Bytes &bytes, size_t position, uint8_t value)
{
    size_t count = 0;
    while (position > count && bytes[position - count - 1] == value)
        ++count;
    return count;
}

}  // namespace

TEST_F(LinkTest, ConnectFallsBackToV3)
{
    peer->run([](ScriptedPeer &p) {
        LinkFrame frame{};
        p.nextFrameOfKind(Connect, frame, ProtocolVersion::V4, 3000);  // a v3-only device stays silent
        if (p.nextFrameOfKind(Connect, frame, ProtocolVersion::V3, 3000))
            p.acknowledge(frame.sequence, ProtocolVersion::V3);
    });
    ASSERT_EQ(sppConnect(&h, 1), 1);
    peer->join();
    EXPECT_EQ(h.activeProtocol, SPP_PROTOCOL_V3);
    EXPECT_EQ(h.v3State.txSequence, 1);

    const Bytes line = peer->received();
    const uint16_t crc = crc16Arc(Bytes{0xBB, 0x00, 0x00}.data(), 3);
    const Bytes v3Connect{0xBB, 0x00, 0x00, static_cast<uint8_t>(crc), static_cast<uint8_t>(crc >> 8)};
    const auto at = std::search(line.begin(), line.end(), v3Connect.begin(), v3Connect.end());
    ASSERT_NE(at, line.end());
    EXPECT_EQ(runBefore(line, static_cast<size_t>(at - line.begin()), 0xB8), 131u);
    EXPECT_EQ(line.front(), 0xC8) << "v4 is tried first";

    // v3 has no reset or configure, and its length byte limits a payload to 255 bytes.
    EXPECT_EQ(sppReset(&h), 0);
    EXPECT_EQ(sppConfig(&h, 1), 0);
    const Bytes payload(256, 0x5A);
    EXPECT_EQ(sppSend(&h, 5, payload.data(), 256, 1), 0);
    peer->run([](ScriptedPeer &p) { p.silentFor(50); });
    peer->join();
    EXPECT_EQ(peer->received().size(), line.size()) << "refused operations write nothing";
    peer->run([](ScriptedPeer &p) {
        LinkFrame frame{};
        if (p.nextFrameOfKind(Data, frame, ProtocolVersion::V3, 3000))
            p.acknowledge(frame.sequence, ProtocolVersion::V3);
    });
    EXPECT_EQ(sppSend(&h, 5, payload.data(), 200, 1), 1);
    peer->join();
    const LinkFrame &sent = peer->frames().back();
    EXPECT_EQ(sent.kind, Data);
    EXPECT_EQ(sent.length, 200);
    EXPECT_EQ(sent.sequence, 1);
    EXPECT_EQ(h.v3State.txSequence, 2);
}

TEST_F(LinkTest, LineSettingsAreRawWhileOpenAndRestoredAtClose)
{
    const std::string port = configHome + "/Zantherix/ports/com1";
    const int observer = open(port.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(observer, 0);
    ASSERT_EQ(sppClose(&h), 1);
    termios before{};
    ASSERT_EQ(tcgetattr(observer, &before), 0);
    before.c_lflag |= ECHO | ICANON;  // something raw mode must undo
    cfsetospeed(&before, B1200);
    ASSERT_EQ(tcsetattr(observer, TCSANOW, &before), 0);

    for (const auto &[speedCode, speed] : {std::pair{0, B9600}, {1, B19200}, {2, B38400}, {7, B38400}}) {
        SCOPED_TRACE("speed code " + std::to_string(speedCode));
        ASSERT_EQ(sppInit(&h, sizeof h, "COM1:", static_cast<uint16_t>(speedCode)), 1);
        ASSERT_EQ(sppOpen(&h), 1);
        termios open{};
        ASSERT_EQ(tcgetattr(observer, &open), 0);
        EXPECT_EQ(cfgetospeed(&open), speed);
        EXPECT_EQ(open.c_lflag & (ECHO | ICANON), 0u);
        EXPECT_EQ(open.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(open.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
        EXPECT_EQ(open.c_cc[VMIN], 0);
        EXPECT_EQ(open.c_cc[VTIME], 0);
        ASSERT_EQ(sppClose(&h), 1);
        termios after{};
        ASSERT_EQ(tcgetattr(observer, &after), 0);
        EXPECT_EQ(cfgetospeed(&after), B1200);
        EXPECT_EQ(after.c_lflag & (ECHO | ICANON), static_cast<tcflag_t>(ECHO | ICANON));
    }
    close(observer);
    EXPECT_EQ(sppClose(&h), 0) << "a second close has nothing to close";
    ASSERT_EQ(sppOpen(&h), 1) << "a closed handle opens again";
}

TEST_F(LinkTest, RawReadWriteAndFlush)
{
    const Bytes hello{'h', 'e', 'l', 'l', 'o'};
    uint32_t count = 99;
    uint8_t buffer[8] = {};
    ASSERT_EQ(sppCommRead(&h, buffer, sizeof buffer, &count), 1);
    EXPECT_EQ(count, 0u) << "nothing buffered: success with no bytes, at once";

    ASSERT_EQ(sppCommWrite(&h, hello.data(), 5, &count), 1);
    EXPECT_EQ(count, 5u);
    peer->run([&](ScriptedPeer &p) {
        while (p.received().size() < hello.size() && !p.silentFor(500)) {
        }
        p.sendBytes({'x', 'y', 'z'});
    });
    peer->join();
    EXPECT_EQ(peer->received(), hello);
    usleep(50 * 1000);
    ASSERT_EQ(sppCommRead(&h, buffer, 2, &count), 1);
    EXPECT_EQ(Bytes(buffer, buffer + count), (Bytes{'x', 'y'}));

    peer->run([](ScriptedPeer &p) { p.sendBytes({1, 2, 3}); });
    peer->join();
    usleep(50 * 1000);
    ASSERT_EQ(sppFlushRx(&h), 1);
    ASSERT_EQ(sppCommRead(&h, buffer, sizeof buffer, &count), 1);
    EXPECT_EQ(count, 0u) << "the flush discarded what was waiting";
}
