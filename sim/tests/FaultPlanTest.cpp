// SPDX-License-Identifier: MIT
// Each fault flag, shown by its effect on the wire and on the host's exchange.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "sim/RunningCheck.h"
#include "sim/read/ReadClient.h"
#include "sim/tests/SimFixture.h"

namespace q57::sim::testing {
namespace {

// Writes a 300-byte test file and returns the answers to request and chunks.
std::vector<Bytes> writeChunks(HostLink &host, size_t chunks)
{
    std::vector<Bytes> answers;
    Bytes file(300, 0x55);
    if (!host.send(writeRequest(5, 300, 0), 3))
        return answers;
    answers.push_back(host.receive());
    for (size_t i = 0, offset = 0; i < chunks && host.send(chunkRequest(file, offset, 100), 3); ++i) {
        answers.push_back(host.receive());
        offset += 100;
    }
    return answers;
}

struct FaultCase {
    const char *name;
    std::vector<std::string> options;
    const char *traceNote; // a note the trace must show, or nullptr
    std::function<void(RunningSim &)> exchange;
};

bool readsTestFile(RunningSim &sim, std::string &error)
{
    ReadClient client;
    Bytes data;
    const bool ok = client.connect(sim.port()) && client.readItem(5, 0x8000, "", data);
    error = client.error();
    return ok;
}

const FaultCase kFaultCases[] = {
    {"drop-ack-every",
     {"--drop-ack-every", "2"},
     "ack-dropped",
     [](RunningSim &sim) {
         // The mode query loses its acknowledgement; the repeat is acknowledged with flag 1.
         HostLink host(sim.port());
         EXPECT_EQ(host.handshake(), hex("DE AD BE EF 02 13 04"));
         bool repeatAck = false;
         for (const TraceLine &line : readTrace(sim.traceFile()))
             repeatAck |= line.direction == "tx" && line.kind == "ack" && line.body == "01";
         EXPECT_TRUE(repeatAck);
     }},
    {"garbage-between-frames",
     {"--garbage-between-frames"},
     nullptr,
     [](RunningSim &sim) {
         std::string error;
         EXPECT_TRUE(readsTestFile(sim, error)) << error;
         const auto trace = readTrace(sim.traceFile());
         const auto garbage = std::count_if(trace.begin(), trace.end(), [](const TraceLine &line) {
             return line.kind == "garbage" && line.wire == "415A007F";
         });
         const auto sent = std::count_if(trace.begin(), trace.end(), [](const TraceLine &line) {
             return line.direction == "tx" && line.kind != "garbage";
         });
         EXPECT_EQ(garbage, sent) << "stray bytes in front of every frame";
     }},
    {"corrupt-every",
     {"--corrupt-every", "5"},
     "corrupted",
     [](RunningSim &sim) {
         // The host drops the damaged frame; the device repeats it and the read completes.
         std::string error;
         EXPECT_TRUE(readsTestFile(sim, error)) << error;
         const auto trace = readTrace(sim.traceFile());
         for (size_t i = 0; i < trace.size(); ++i) {
             if (trace[i].note != "corrupted" || trace[i].kind != "data")
                 continue;
             const auto repeat = std::find_if(trace.begin() + i + 1, trace.end(), [&](const TraceLine &line) {
                 return line.direction == "tx" && line.note == "repeat";
             });
             ASSERT_NE(repeat, trace.end());
             EXPECT_EQ(repeat->body, trace[i].body);
             EXPECT_NE(repeat->wire, trace[i].wire);
         }
     }},
    {"silent-after",
     {"--silent-after", "20"},
     "silenced",
     [](RunningSim &sim) {
         // Connect and query acknowledgements (7 bytes each) go out; the mode report is cut.
         HostLink host(sim.port());
         ASSERT_TRUE(host.connect());
         ASSERT_TRUE(host.send(hex("DE AD BE EF 02 08")));
         EXPECT_TRUE(host.receive(700).empty());
     }},
    {"refuse-write",
     {"--refuse-write"},
     nullptr,
     [](RunningSim &sim) {
         HostLink host(sim.port());
         ASSERT_FALSE(host.handshake().empty());
         EXPECT_EQ(writeChunks(host, 0), std::vector<Bytes>{hex("11")});
     }},
    {"out-of-memory-after",
     {"--out-of-memory-after", "1"},
     nullptr,
     [](RunningSim &sim) {
         HostLink host(sim.port());
         ASSERT_FALSE(host.handshake().empty());
         const std::vector<Bytes> answers = writeChunks(host, 2);
         ASSERT_EQ(answers.size(), 3u);
         EXPECT_EQ(answers[1], hex("10 00 00 00 64"));
         EXPECT_EQ(answers[2], hex("11"));
     }},
    {"wrong-read-check",
     {"--wrong-read-check"},
     nullptr,
     [](RunningSim &sim) {
         std::string error;
         EXPECT_FALSE(readsTestFile(sim, error));
         EXPECT_EQ(error, "Data corrupted during transfer.");
     }},
    {"short-write-offset",
     {"--short-write-offset", "26"},
     nullptr,
     [](RunningSim &sim) {
         // Once per write: 100 taken, 74 reported; the next chunk is counted on from there.
         HostLink host(sim.port());
         ASSERT_FALSE(host.handshake().empty());
         const std::vector<Bytes> answers = writeChunks(host, 2);
         ASSERT_EQ(answers.size(), 3u);
         EXPECT_EQ(answers[1], hex("10 00 00 00 4A"));
         EXPECT_EQ(answers[2], hex("10 00 00 00 AE"));
     }},
    {"short-read",
     {"--sample", "small", "--short-read"},
     nullptr,
     [](RunningSim &sim) {
         // The one chunk of the self-test file is left out, yet the read ends as if it came.
         ReadClient client;
         Bytes data;
         ASSERT_TRUE(client.connect(sim.port()));
         EXPECT_TRUE(client.readItem(5, 0x8000, "", data)) << client.error();
         EXPECT_LT(data.size(), std::string("Q57 self test: all modules passed.\n").size());
     }},
    {"long-read-chunks",
     {"--long-read-chunks"},
     nullptr,
     [](RunningSim &sim) {
         // A reader that takes each chunk's count misses the extra bytes the check covers.
         std::string error;
         EXPECT_FALSE(readsTestFile(sim, error));
         EXPECT_EQ(error, "Data corrupted during transfer.");
     }},
    {"stuck-write-offset",
     {"--stuck-write-offset"},
     nullptr,
     [](RunningSim &sim) {
         HostLink host(sim.port());
         ASSERT_FALSE(host.handshake().empty());
         const std::vector<Bytes> answers = writeChunks(host, 3);
         ASSERT_EQ(answers.size(), 4u);
         EXPECT_EQ(answers[1], hex("10 00 00 00 64"));
         EXPECT_EQ(answers[2], answers[1]);
         EXPECT_EQ(answers[3], answers[1]);
     }},
    {"long-write-offset",
     {"--long-write-offset", "100"},
     nullptr,
     [](RunningSim &sim) {
         HostLink host(sim.port());
         ASSERT_FALSE(host.handshake().empty());
         const std::vector<Bytes> answers = writeChunks(host, 2);
         ASSERT_EQ(answers.size(), 3u);
         EXPECT_EQ(answers[1], hex("10 00 00 00 C8"));
     }},
    {"no-final-answer",
     {"--no-final-answer"},
     nullptr,
     [](RunningSim &sim) {
         HostLink host(sim.port());
         ASSERT_FALSE(host.handshake().empty());
         const Bytes book = bytesOf("\n\n16\t0\t1\t0\tAnna\n");
         ASSERT_TRUE(writeInOneChunk(host, 1, book, runningCheck(0, book.data(), book.size())));
         EXPECT_TRUE(host.receive(700).empty());
     }},
};

class SimFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(SimFault, ShowsOnTheWire)
{
    const FaultCase &fault = GetParam();
    RunningSim sim({false, fault.options});
    ASSERT_TRUE(sim.ok()) << sim.error();
    fault.exchange(sim);
    if (fault.traceNote != nullptr) {
        const auto trace = readTrace(sim.traceFile());
        EXPECT_TRUE(std::any_of(trace.begin(), trace.end(), [&](const TraceLine &line) {
            return line.note == fault.traceNote;
        })) << fault.traceNote;
    }
}

INSTANTIATE_TEST_SUITE_P(Flags, SimFault, ::testing::ValuesIn(kFaultCases),
                         [](const ::testing::TestParamInfo<FaultCase> &info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
} // namespace q57::sim::testing
