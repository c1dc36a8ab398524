// SPDX-License-Identifier: MIT
// Full backup and full restore of the large sample device with q57backup-cli:
//  - over a pseudo-terminal with the simulator's line-rate emulation at 38400
//    baud: elapsed time as a ratio to the protocol-bound minimum, and the
//    client's processor time as a share of the elapsed time;
//  - over UDP on 127.0.0.2 without line-rate emulation: the client's processor
//    time as a share of one core.
// The protocol-bound minimum is every byte on the wire, both ways, at 3,840
// bytes per second (10 bits a byte), plus the pauses the link prescribes: 10 ms
// before and after each attention frame (one per send), 10 ms more before each
// connect, and the 500 ms after the address book's restore. The bytes and
// frames are counted in the simulator's frame trace.
//
// Usage: job_bench [--skip-serial] [--skip-udp]   (takes several minutes)

#include "app/ItemCatalogue.h"
#include "tests/support/SimulatorProcess.h"
#include "tests/support/ChildProgram.h"
#include "tests/support/UserWorld.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr double WireBytesPerSecond = 3840.0;
constexpr double AttentionPauses = 0.020;
constexpr double ConnectPause = 0.010;
constexpr double AddressBookPause = 0.500;

struct Measure {
    double elapsed = 0; // seconds
    double cpu = 0;     // user + system seconds of the client
    int exitCode = -1;
};

struct WireCount {
    unsigned long long bytes = 0;
    unsigned attentions = 0;
    unsigned connects = 0;
};

Measure runClient(const std::vector<std::string> &arguments)
{
    std::vector<std::string> words{Q57BACKUP_CLI};
    words.insert(words.end(), arguments.begin(), arguments.end());
    const int nothing = open("/dev/null", O_WRONLY | O_CLOEXEC);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = q57::testing::startChildProgram(words, {.out = nothing, .err = nothing});
    close(nothing);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    Measure measure;
    measure.elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    measure.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                  static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    measure.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return measure;
}

// The frames traced from `offset` on: "<ms> <rx|tx> <v4|v3> <kind> ... wire=<HEX> ...".
WireCount countWire(const fs::path &trace, std::streamoff offset)
{
    std::ifstream file(trace);
    file.seekg(offset);
    WireCount count;
    for (std::string line; std::getline(file, line);) {
        std::istringstream words(line);
        std::string time, way, protocol, kind;
        words >> time >> way >> protocol >> kind;
        const size_t wire = line.find(" wire=");
        if (wire != std::string::npos) {
            const size_t end = line.find(' ', wire + 6);
            count.bytes += ((end == std::string::npos ? line.size() : end) - (wire + 6)) / 2;
        }
        if (way == "rx" && kind == "attention")
            ++count.attentions;
        if (way == "rx" && kind == "connect")
            ++count.connects;
    }
    return count;
}

std::streamoff sizeOf(const fs::path &path)
{
    std::error_code error;
    const auto size = fs::file_size(path, error);
    return error ? 0 : static_cast<std::streamoff>(size);
}

std::vector<std::string> jobArguments(const std::string &job, const fs::path &folder,
                                      const std::vector<std::string> &transport)
{
    std::string items;
    std::vector<std::string> files;
    for (const q57::ItemId id : q57::DeviceItemIds) {
        const std::string key = q57::ItemCatalogue::itemKey(id);
        items += (items.empty() ? "" : ",") + key;
        files.insert(files.end(), {"--file", key + "=" + (folder / (key + ".file")).string()});
    }
    std::vector<std::string> words{job, "--yes", "--items", items};
    words.insert(words.end(), files.begin(), files.end());
    words.insert(words.end(), transport.begin(), transport.end());
    return words;
}

bool serialBench(const fs::path &world)
{
    const fs::path trace = world / "serial-trace.txt";
    q57::testing::SimulatorProcess simulator;
    if (!simulator.start(
            {"--pty", "--as", "COM1", "--sample", "large", "--baud", "38400", "--trace", trace.string()})) {
        std::fprintf(stderr, "simulator: %s\n", simulator.error().c_str());
        return false;
    }
    std::printf("serial line, 38400 baud, large sample device\n");
    std::printf("%-8s %10s %10s %10s %8s %8s\n", "job", "elapsed s", "minimum s", "wire B", "ratio", "CPU %");
    bool ok = true;
    for (const std::string job : {"backup", "restore"}) {
        const std::streamoff offset = sizeOf(trace);
        const Measure measure = runClient(jobArguments(job, world / "serial", {"--port", "COM1"}));
        const WireCount wire = countWire(trace, offset);
        const double minimum = static_cast<double>(wire.bytes) / WireBytesPerSecond +
                               wire.attentions * AttentionPauses + wire.connects * ConnectPause +
                               (job == "restore" ? AddressBookPause : 0.0);
        std::printf("%-8s %10.2f %10.2f %10llu %8.3f %8.2f%s\n", job.c_str(), measure.elapsed, minimum, wire.bytes,
                    measure.elapsed / minimum, 100.0 * measure.cpu / measure.elapsed,
                    measure.exitCode == 0 ? "" : "  (job failed)");
        ok = ok && measure.exitCode == 0;
    }
    return ok;
}

bool udpBench(const fs::path &world)
{
    q57::testing::SimulatorProcess simulator;
    if (!simulator.start({"--udp", "127.0.0.2", "--sample", "large"})) {
        std::fprintf(stderr, "simulator: %s\n", simulator.error().c_str());
        return false;
    }
    std::printf("\nUDP 127.0.0.2, no line-rate emulation, large sample device\n");
    std::printf("%-8s %10s %10s %8s\n", "job", "elapsed s", "CPU s", "CPU %");
    bool ok = true;
    for (const std::string job : {"backup", "restore"}) {
        const Measure measure = runClient(jobArguments(job, world / "udp", {"--udp", "127.0.0.2"}));
        std::printf("%-8s %10.2f %10.3f %8.2f%s\n", job.c_str(), measure.elapsed, measure.cpu,
                    100.0 * measure.cpu / measure.elapsed, measure.exitCode == 0 ? "" : "  (job failed)");
        ok = ok && measure.exitCode == 0;
    }
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    bool serial = true;
    bool udp = true;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--skip-serial")
            serial = false;
        else if (argument == "--skip-udp")
            udp = false;
        else {
            std::fprintf(stderr, "usage: job_bench [--skip-serial] [--skip-udp]\n");
            return 2;
        }
    }
    const q57::testing::UserWorld userWorld("q57-job-bench");
    const fs::path &world = userWorld.root();
    for (const char *name : {"serial", "udp"})
        fs::create_directories(world / name);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    bool ok = true;
    if (serial)
        ok = serialBench(world) && ok;
    if (udp)
        ok = udpBench(world) && ok;
    return ok ? 0 : 1;
}
