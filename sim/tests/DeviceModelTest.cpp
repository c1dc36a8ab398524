// SPDX-License-Identifier: MIT
// The pure parts of the simulator: the line clock and the stored forms.
#include <gtest/gtest.h>

#include "sim/DeviceForms.h"
#include "sim/LinePacer.h"
#include "sim/tests/SimFixture.h"

namespace q57::sim::testing {
namespace {

class RecordingTransport final : public SimTransport {
public:
    explicit RecordingTransport(bool datagram) : datagram_(datagram) {}
    int pollFd() const override { return -1; }
    bool receive(std::vector<uint8_t> &) override { return true; }
    size_t send(const uint8_t *data, size_t count) override
    {
        writes.emplace_back(data, data + count);
        return count;
    }
    bool isDatagram() const override { return datagram_; }
    std::string where() const override { return {}; }
    std::vector<Bytes> writes;

private:
    bool datagram_;
};

TEST(SimLinePacer, ReleasesEachByteAfterItsWireTimeWithoutDrift)
{
    LinePacer pacer(38400, false); // 260.4 us a byte
    RecordingTransport line(false);
    const Micros t0 = 1000000;
    pacer.queueOutgoing(Bytes(3000, 0xAA), t0);
    pacer.flushDue(line, t0 + 259);
    EXPECT_TRUE(line.writes.empty());
    EXPECT_EQ(pacer.nextWake(), t0 + 260);
    pacer.flushDue(line, t0 + 521);
    ASSERT_EQ(line.writes.size(), 1u);
    EXPECT_EQ(line.writes[0].size(), 2u);
    // 3000 bytes take exactly 781,250 us, however often the clock is looked at.
    for (Micros t = t0 + 600; t < t0 + 781249; t += 97)
        pacer.flushDue(line, t);
    size_t sent = 0;
    for (const Bytes &write : line.writes)
        sent += write.size();
    EXPECT_EQ(sent, 2999u);
    pacer.flushDue(line, t0 + 781250);
    EXPECT_TRUE(pacer.outputIdle());
    // The next frame queued early still waits for the line.
    pacer.queueOutgoing(Bytes(1, 0x01), t0);
    EXPECT_EQ(pacer.nextWake(), t0 + 781250 + 260);
}

TEST(SimLinePacer, IncomingBytesArriveOneWireTimeApart)
{
    LinePacer pacer(38400, false);
    const Micros t0 = 5000000;
    pacer.arrive(Bytes{1, 2, 3}, t0);
    Bytes arrived;
    pacer.takeArrived(t0 + 519, arrived);
    EXPECT_EQ(arrived, (Bytes{1}));
    pacer.takeArrived(t0 + 781, arrived);
    EXPECT_EQ(arrived, (Bytes{1, 2, 3}));
}

TEST(SimLinePacer, DatagramsLeaveWholeAndUnpacedLinesAtOnce)
{
    LinePacer paced(38400, true);
    RecordingTransport udp(true);
    paced.queueOutgoing(Bytes(10, 7), 0);
    paced.flushDue(udp, 2603);
    EXPECT_TRUE(udp.writes.empty());
    paced.flushDue(udp, 2604);
    ASSERT_EQ(udp.writes.size(), 1u);
    EXPECT_EQ(udp.writes[0].size(), 10u);

    LinePacer unpaced(0, false);
    RecordingTransport pty(false);
    unpaced.queueOutgoing(Bytes(500, 1), 42);
    unpaced.flushDue(pty, 42);
    ASSERT_EQ(pty.writes.size(), 1u);
    EXPECT_EQ(pty.writes[0].size(), 500u);
    Bytes arrived;
    unpaced.arrive(Bytes{9}, 42);
    unpaced.takeArrived(42, arrived);
    EXPECT_EQ(arrived, Bytes{9});
}

TEST(SimDeviceForms, RestoredAddressBookLosesEmptyLinesAndMembership)
{
    struct Case {
        const char *received;
        const char *stored;
    };
    const Case cases[] = {
        {"\n\n", ""},
        {"\n\n3\t1\tG\t16\t\t2004\t1\t1\n", "3\t1\tG\t16\t\t2004\t1\t1\n"}, // groups keep every field
        {"\n\n16\t3\t1\t5\tAnn\t\t\t2004\n", "16\t3\t1\tAnn\t\t\t2004\n"},  // membership after Usage
        {"\n\n20\t1\t1\t0\n", "20\t1\t1\n"},                                // membership as last field
        {"\n\n016\t0\t0\t0\tX\n", "016\t0\t0\tX\n"},                        // leading zeros kept
        {"\n\nabc\t1\t2\t3\n", "abc\t1\t2\t3\n"},                           // not a contact number
    };
    for (const Case &c : cases)
        EXPECT_EQ(storedAddressBook(bytesOf(c.received)), bytesOf(c.stored)) << c.received;
}

TEST(SimDeviceForms, TextEntriesAreFiledInFrontOfEachOther)
{
    EXPECT_EQ(storedTextEntries(bytesOf("C\tc\tB\tb\tA\ta\t"), 2), bytesOf("A\ta\tB\tb\tC\tc\t"));
    EXPECT_EQ(storedTextEntries(bytesOf("3\t2\t1\t"), 1), bytesOf("1\t2\t3\t"));
    EXPECT_EQ(storedTextEntries(bytesOf("B\tb\tA\tunfinished"), 2), bytesOf("B\tb\tA\tunfinished"));
    EXPECT_EQ(lineCount(bytesOf("a\nb\n")), 2u);
}

} // namespace
} // namespace q57::sim::testing
