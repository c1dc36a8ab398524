// SPDX-License-Identifier: MIT
// The simulator driven through the exported link functions over its
// pseudo-terminal: handshake, reads, writes, the clear and the v3 fallback.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "sim/RunningCheck.h"
#include "sim/SampleDevice.h"
#include "sim/read/ReadClient.h"
#include "sim/tests/SimFixture.h"
#include "tests/support/FileBytes.h"

namespace q57::sim::testing {
namespace {

Bytes fileBytes(const std::string &path)
{
    const std::string bytes = q57::testing::readWhole(path);
    return Bytes(bytes.begin(), bytes.end());
}

uint16_t checkOf(const Bytes &data)
{
    return runningCheck(0, data.data(), data.size());
}

struct HandshakeCase {
    const char *level;
    Bytes report;
};

TEST(SimHandshake, ModeReportCarriesLevelAndMode)
{
    const HandshakeCase cases[] = {
        {"2", hex("DE AD BE EF 02 13 04")},
        {"3", hex("DE AD BE EF 03 13 04")},
        {"1", hex("DE AD BE EF 01 13 04")},
        {"4", hex("DE AD BE EF 04 13 04")},
    };
    for (const HandshakeCase &c : cases) {
        RunningSim sim({false, {"--level", c.level}});
        ASSERT_TRUE(sim.ok()) << sim.error();
        HostLink host(sim.port());
        ASSERT_TRUE(host.opened);
        EXPECT_EQ(host.handshake(), c.report) << "level " << c.level;
        // The host's retry at the alternate level is answered the same way.
        ASSERT_TRUE(host.send(hex("DE AD BE EF 03 08")));
        EXPECT_EQ(host.receive(), c.report);
    }
}

TEST(SimHandshake, ModeSwitchDropsTheLinkForTwoSeconds)
{
    RunningSim sim({false, {"--mode", "2"}});
    ASSERT_TRUE(sim.ok()) << sim.error();
    HostLink host(sim.port());
    EXPECT_EQ(host.handshake(), hex("DE AD BE EF 02 13 02"));
    // Outside mode 4 nothing is transferred.
    ASSERT_TRUE(host.send(readRequest(1)));
    EXPECT_EQ(host.receive(), hex("11"));

    ASSERT_TRUE(host.send(hex("DE AD BE EF 02 01 04")));
    EXPECT_FALSE(host.connect()) << "the device is still changing mode";
    // The link comes back once the switch is over: connect tries once a
    // second, ten times, far more than the two seconds the switch takes.
    EXPECT_TRUE(host.connect(10));
    ASSERT_TRUE(host.send(hex("DE AD BE EF 02 08")));
    EXPECT_EQ(host.receive(), hex("DE AD BE EF 02 13 04"));

    bool ignoredSeen = false;
    for (const TraceLine &line : readTrace(sim.traceFile()))
        ignoredSeen |= line.kind == "connect" && line.note == "ignored";
    EXPECT_TRUE(ignoredSeen);
}

TEST(SimRead, EveryItemArrivesWithAMatchingCheckValue)
{
    RunningSim sim({false, {}});
    ASSERT_TRUE(sim.ok()) << sim.error();
    const DeviceContents sample = sampleContents(SampleSize::Small);
    ReadClient client;
    ASSERT_TRUE(client.connect(sim.port())) << client.error();
    for (uint8_t item = 0; item < 6; ++item) {
        Bytes data;
        ASSERT_TRUE(client.readItem(item, 0xBC00, "", data)) << client.error();
        EXPECT_EQ(data, sample.items[item]) << "item " << int(item);
        EXPECT_EQ(client.responsesReceived(), 2 + (data.size() + 125) / 126) << "item " << int(item);
    }
    Bytes file;
    ASSERT_TRUE(client.readItem(6, 0x8000, "hello.txt", file)) << client.error();
    EXPECT_EQ(file, sample.files.at("hello.txt"));
    EXPECT_FALSE(client.readItem(6, 0x8000, "missing.txt", file));
}

TEST(SimRead, AddressBookStartCountsLinesAndCarriesTheCapacity)
{
    RunningSim sim({false, {"--capacity", "300"}});
    ASSERT_TRUE(sim.ok()) << sim.error();
    HostLink host(sim.port());
    ASSERT_FALSE(host.handshake().empty());
    const std::vector<Bytes> answers = readExchange(host, 1);
    ASSERT_GE(answers.size(), 3u);
    // 3 groups and 4 contacts; capacity 300 = 0x012C in bytes 10 and 11.
    EXPECT_EQ(answers.front(), hex("DE AD BE EF 02 0B 00 00 00 07 01 2C"));
    Bytes data;
    for (size_t i = 1; i + 1 < answers.size(); ++i) {
        EXPECT_EQ(answers[i][0], 12);
        EXPECT_LE(answers[i][1], 126);
        EXPECT_EQ(answers[i].size(), answers[i][1] + 2u);
        data.insert(data.end(), answers[i].begin() + 2, answers[i].end());
    }
    const uint16_t check = checkOf(data);
    const Bytes end = {13,
                       0,
                       0,
                       static_cast<uint8_t>(data.size() >> 8),
                       static_cast<uint8_t>(data.size()),
                       static_cast<uint8_t>(check >> 8),
                       static_cast<uint8_t>(check)};
    EXPECT_EQ(answers.back(), end);
}

TEST(SimRead, AbortReadStopsTheChunks)
{
    RunningSim sim({false, {"--sample", "large"}});
    ASSERT_TRUE(sim.ok()) << sim.error();
    HostLink host(sim.port());
    ASSERT_FALSE(host.handshake().empty());
    ASSERT_TRUE(host.send(readRequest(3)));
    EXPECT_EQ(host.receive()[5], 11);
    EXPECT_EQ(host.receive()[0], 12);
    ASSERT_TRUE(host.send(hex("03")));
    EXPECT_TRUE(host.receive(700).empty()) << "no chunk after the abort";
    // The device takes the next request at once.
    ASSERT_TRUE(host.send(hex("DE AD BE EF 02 08")));
    EXPECT_EQ(host.receive(), hex("DE AD BE EF 02 13 04"));
}

TEST(SimWrite, ChunksAreConfirmedAndEndOfDataStoresTheItem)
{
    TempFolder data;
    RunningSim sim({false, {"--data", data.path()}});
    ASSERT_TRUE(sim.ok()) << sim.error();
    HostLink host(sim.port());
    ASSERT_FALSE(host.handshake().empty());

    Bytes file(300);
    for (size_t i = 0; i < file.size(); ++i)
        file[i] = static_cast<uint8_t>(i * 7);
    ASSERT_TRUE(host.send(writeRequest(5, 300, 0x0000), 3));
    // Capacity: the memory (1 MiB); device information 00 00.
    EXPECT_EQ(host.receive(), hex("DE AD BE EF 02 0F 00 10 00 00 00 00"));
    const size_t sizes[] = {126, 126, 48};
    size_t offset = 0;
    for (size_t n : sizes) {
        ASSERT_TRUE(host.send(chunkRequest(file, offset, n), 3));
        offset += n;
        EXPECT_EQ(host.receive(), (Bytes{16, 0, 0, static_cast<uint8_t>(offset >> 8), static_cast<uint8_t>(offset)}));
    }
    ASSERT_TRUE(host.send(endOfData(checkOf(file)), 3));
    EXPECT_TRUE(host.receive(500).empty()) << "only the address book answers after end of data";
    EXPECT_EQ(fileBytes(data.file("testfile.txt")), file);
}

TEST(SimWrite, WrongCheckValueKeepsTheOldItem)
{
    TempFolder data;
    RunningSim sim({false, {"--data", data.path()}});
    ASSERT_TRUE(sim.ok()) << sim.error();
    HostLink host(sim.port());
    ASSERT_FALSE(host.handshake().empty());
    const Bytes book = bytesOf("\n\n16\t0\t1\t0\tAnna\n");
    ASSERT_TRUE(writeInOneChunk(host, 1, book, checkOf(book) ^ 1));
    EXPECT_EQ(host.receive(), hex("11"));
    EXPECT_FALSE(std::filesystem::exists(data.file("addressbook.txt")));
}

// What a restore sends is filed so that the next backup reads what the last one did.
TEST(SimWrite, RestoredItemsReadBackInTheDeviceForm)
{
    RunningSim sim({false, {"--supported-selections", "0x43"}});
    ASSERT_TRUE(sim.ok()) << sim.error();
    struct Restore {
        uint8_t item;
        std::string sent;
        std::string stored;
    };
    const Restore restores[] = {
        {1, "\n\n0\t1\tFriends\t16\n16\t67\t1\t1\tAnna\tB\n17\t0\t1\t0\n",
         "0\t1\tFriends\t16\n16\t67\t1\tAnna\tB\n17\t0\t1\n"},
        {3, "L3\tT3\tL2\tline\nbreak\tL1\tT1\t", "L1\tT1\tL2\tline\nbreak\tL3\tT3\t"},
        {4, "c\tb\ta\t", "a\tb\tc\t"},
    };
    {
        HostLink host(sim.port());
        ASSERT_FALSE(host.handshake().empty());
        for (const Restore &r : restores) {
            const Bytes sent = bytesOf(r.sent);
            ASSERT_TRUE(host.send(writeRequest(r.item, 2), 3));
            const Bytes accepted = host.receive();
            ASSERT_EQ(accepted.size(), 12u);
            EXPECT_EQ(accepted[11], r.item == 1 ? 0x43 : 0x00) << "supported selections";
            ASSERT_TRUE(host.send(chunkRequest(sent, 0, sent.size()), 3));
            EXPECT_EQ(host.receive()[0], 16);
            ASSERT_TRUE(host.send(endOfData(checkOf(sent)), 3));
            if (r.item == 1) {
                EXPECT_EQ(host.receive(), (Bytes{16, 0, 0, 0, static_cast<uint8_t>(sent.size())})) << "rebuilt";
            }
        }
    }
    ReadClient client;
    ASSERT_TRUE(client.connect(sim.port())) << client.error();
    for (const Restore &r : restores) {
        Bytes back;
        ASSERT_TRUE(client.readItem(r.item, 0xA000, "", back)) << client.error();
        EXPECT_EQ(back, bytesOf(r.stored)) << "item " << int(r.item);
    }
}

TEST(SimWrite, ClearExchangeEmptiesTheAddressBook)
{
    RunningSim sim({false, {}});
    ASSERT_TRUE(sim.ok()) << sim.error();
    {
        HostLink host(sim.port());
        ASSERT_FALSE(host.handshake().empty());
        ASSERT_TRUE(host.send(hex("DE AD BE EF 02 04 01 09 20 00 00 00 00 00"), 3));
        EXPECT_EQ(host.receive(), hex("DE AD BE EF 02 0F 00 00 01 80 00 FF"));
        ASSERT_TRUE(host.send(hex("06 00 00"), 3));
        EXPECT_TRUE(host.receive(500).empty()) << "the clear gets no final answer";
        const std::vector<Bytes> answers = readExchange(host, 1);
        ASSERT_EQ(answers.size(), 2u);
        EXPECT_EQ(answers[0], hex("DE AD BE EF 02 0B 00 00 00 00 01 80"));
        EXPECT_EQ(answers[1], hex("0D 00 00 00 00 00 00"));
    }
    std::vector<std::string> received;
    for (const TraceLine &line : readTrace(sim.traceFile()))
        if (line.direction == "rx" && line.kind == "data")
            received.push_back(line.body);
    ASSERT_GE(received.size(), 3u);
    EXPECT_EQ(received[1], "DEADBEEF0204010920000000"
                           "0000");
    EXPECT_EQ(received[2], "060000");
}

TEST(SimLink, V3OnlyDeviceIsReachedThroughTheFallback)
{
    RunningSim sim({false, {"--protocol", "v3"}});
    ASSERT_TRUE(sim.ok()) << sim.error();
    HostLink host(sim.port());
    EXPECT_EQ(host.handshake(), hex("DE AD BE EF 02 13 04"));
    EXPECT_EQ(host.handle.activeProtocol, SPP_PROTOCOL_V3);
    const std::vector<Bytes> answers = readExchange(host, 4);
    ASSERT_FALSE(answers.empty());
    EXPECT_EQ(answers.back()[0], 13);

    std::vector<TraceLine> trace = readTrace(sim.traceFile());
    ASSERT_FALSE(trace.empty());
    int attentions = 0;
    for (const TraceLine &line : trace) {
        EXPECT_EQ(line.protocol, "v3");
        if (line.kind == "attention")
            ++attentions;
        if (line.kind == "connect") {
            EXPECT_EQ(line.wire.substr(0, 6), "BB0000");
            break;
        }
    }
    EXPECT_EQ(attentions, 131) << "the attention byte and the 130-byte wake-up";
}

TEST(SimLink, SequenceNumbersCountUpAndRepeatsAreFlagged)
{
    RunningSim sim({false, {"--drop-ack-every", "3"}});
    ASSERT_TRUE(sim.ok()) << sim.error();
    HostLink host(sim.port());
    ASSERT_FALSE(host.handshake().empty()); // connect 1, query 2
    ASSERT_TRUE(host.send(readRequest(5))); // 3: dropped, then repeated
    EXPECT_EQ(host.receive()[5], 11);
    std::vector<std::string> deviceSequences;
    bool repeatFlagged = false;
    for (const TraceLine &line : readTrace(sim.traceFile())) {
        if (line.direction == "tx" && line.kind == "data")
            deviceSequences.push_back(line.sequence);
        if (line.direction == "rx" && line.note == "repeat")
            repeatFlagged = true;
        if (line.direction == "tx" && line.kind == "ack" && line.body == "01") {
            EXPECT_TRUE(repeatFlagged);
        }
    }
    EXPECT_TRUE(repeatFlagged);
    ASSERT_GE(deviceSequences.size(), 2u);
    EXPECT_EQ(deviceSequences[0], "00");
    EXPECT_EQ(deviceSequences[1], "01");
}

TEST(SimLink, ResetAnnouncesBootLoaderThenApplication)
{
    RunningSim sim({false, {}});
    ASSERT_TRUE(sim.ok()) << sim.error();
    HostLink host(sim.port());
    ASSERT_TRUE(host.connect());
    EXPECT_EQ(sppReset(&host.handle), 1);
    EXPECT_EQ(sppWaitResetBoot(&host.handle, 2000), 1);
    EXPECT_EQ(sppWaitResetApp(&host.handle, 2000), 1);
    EXPECT_FALSE(host.send(hex("DE AD BE EF 02 08"), 1)) << "the reset ended the connection";
}

} // namespace
} // namespace q57::sim::testing
