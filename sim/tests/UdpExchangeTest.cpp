// The simulator on UDP 127.0.0.2:47999, driven through the exported functions.
#include <gtest/gtest.h>

#include "sim/SampleDevice.h"
#include "sim/read/ReadClient.h"
#include "sim/tests/SimFixture.h"

namespace q57::sim::testing {
namespace {

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

}  // namespace
}  // namespace q57::sim::testing
