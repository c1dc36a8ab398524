// SPDX-License-Identifier: MIT
// Reads ~100 KB of memos from q57sim at --baud 38400 and compares the time
// with the protocol-bound minimum: every wire byte of the read in both
// directions at 3840 bytes/s, plus the host's two 10 ms attention pauses of
// its one sppSend (the read request). Target: elapsed / minimum <= 1.05.
#include "tests/support/ScratchFolder.h"
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "sim/FrameTrace.h"
#include "sim/SimServer.h"
#include "sim/read/ReadClient.h"

namespace {

constexpr double kBytesPerSecond = 3840.0; // 38400 baud, 10 bits a byte
constexpr double kAttentionPauses = 0.020; // sendAttention: 10 ms before and after the byte
constexpr double kTarget = 1.05;
constexpr size_t kMemoBytes = 100 * 1024;

std::string makeMemos()
{
    std::string memos;
    for (int i = 0; memos.size() < kMemoBytes; ++i) {
        std::string text(1990, 'a' + i % 26);
        for (size_t j = 79; j < text.size(); j += 80)
            text[j] = '\n';
        memos += "Memo " + std::to_string(i) + "\t" + text + "\t";
    }
    memos.resize(kMemoBytes - 1);
    memos += "\t";
    return memos;
}

// Wire bytes of the trace lines from index first on, without the last line
// when it is the host's acknowledgement of the read end (sent after the read
// has finished for the host).
size_t wireBytes(const std::string &traceFile, size_t first, size_t &lines)
{
    std::ifstream in(traceFile);
    std::string line;
    std::vector<size_t> sizes;
    std::vector<bool> isAck;
    for (size_t index = 0; std::getline(in, line); ++index) {
        if (index < first)
            continue;
        const size_t wire = line.find(" wire=");
        const size_t end = line.find(' ', wire + 6);
        sizes.push_back((std::min(end, line.size()) - wire - 6) / 2);
        isAck.push_back(line.find(" rx v4 ack ") != std::string::npos);
    }
    if (!isAck.empty() && isAck.back())
        sizes.pop_back();
    lines = sizes.size();
    size_t total = 0;
    for (size_t size : sizes)
        total += size;
    return total;
}

size_t lineCount(const std::string &path)
{
    std::ifstream in(path);
    size_t count = 0;
    for (std::string line; std::getline(in, line);)
        ++count;
    return count;
}

} // namespace

int main()
{
    using namespace q57::sim;
    const std::string folder = q57::testing::makeScratchFolder("q57sim-bench").string();
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    const std::string memos = makeMemos();
    std::ofstream(folder + "/memos.txt", std::ios::binary) << memos;
    const std::string trace = folder + "/trace.txt";

    SimOptions options;
    std::string error;
    if (!parseOptions({"--pty", "--as", "COM9", "--baud", "38400", "--data", folder, "--trace", trace}, options,
                      error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    SimServer server(options);
    if (!server.start(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::thread serving([&server] { server.run(); });

    ReadClient client;
    std::vector<uint8_t> data;
    bool ok = client.connect("COM9");
    const size_t before = lineCount(trace);
    const auto start = std::chrono::steady_clock::now();
    ok = ok && client.readItem(3, 0x8800, "", data);
    const auto end = std::chrono::steady_clock::now();
    client.close();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    server.stop();
    serving.join();
    if (!ok || data.size() != memos.size()) {
        std::fprintf(stderr, "memo read failed: %s\n", client.error().c_str());
        return 1;
    }

    size_t frames = 0;
    const size_t bytes = wireBytes(trace, before, frames);
    const double elapsed = std::chrono::duration<double>(end - start).count();
    const double minimum = bytes / kBytesPerSecond + kAttentionPauses;
    const double ratio = elapsed / minimum;
    std::printf("memo read: %zu data bytes, %zu frames, %zu wire bytes both ways\n", data.size(), frames, bytes);
    std::printf("elapsed %.3f s, protocol-bound minimum %.3f s, ratio %.4f (target <= %.2f): %s\n", elapsed, minimum,
                ratio, kTarget, ratio <= kTarget ? "met" : "MISSED");
    std::filesystem::remove_all(folder);
    return ratio <= kTarget ? 0 : 1;
}
