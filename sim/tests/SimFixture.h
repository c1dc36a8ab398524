// SPDX-License-Identifier: MIT
// Test support: the simulator served in-process on a thread, a host end that
// talks to it through the exported spp functions, and the frame trace parsed.
#pragma once

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "link/include/spp.h"
#include "sim/SimOptions.h"
#include "sim/SimServer.h"

namespace q57::sim::testing {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const std::string &text);
Bytes hex(const std::string &text); // "DE AD BE EF" -> bytes

// A fresh folder under $TMPDIR (else /tmp), removed by the destructor.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The port the in-process simulator links its pseudo-terminal as; the tests
// point XDG_CONFIG_HOME at a folder of their own.
constexpr const char *kTestPort = "COM7";
void useOwnConfigFolder();

struct SimSetup {
    bool udp = false;
    std::vector<std::string> extra; // further command-line options
};

// The simulator, serving on its own thread for the life of the object.
class RunningSim {
public:
    explicit RunningSim(const SimSetup &setup);
    ~RunningSim();
    bool ok() const { return started_; }
    const std::string &error() const { return error_; }
    std::string port() const { return udp_ ? "127.0.0.2" : kTestPort; }
    std::string traceFile() const { return traceFolder_.file("trace.txt"); }

private:
    TempFolder traceFolder_;
    bool udp_;
    std::unique_ptr<SimServer> server_;
    std::thread thread_;
    bool started_ = false;
    std::string error_;
};

// The host's end, driven only through the exported functions.
class HostLink {
public:
    explicit HostLink(const std::string &port);
    ~HostLink();
    bool connect(uint8_t tries = 1) { return sppConnect(&handle, tries) == 1; }
    bool send(const Bytes &payload, uint8_t tries = 2);
    // Receives one payload on channel 5; empty when nothing came in time.
    Bytes receive(uint16_t timeoutMs = 3000);
    // connect, mode query and its answer.
    Bytes handshake();

    SppHandle handle{};
    bool opened = false;
};

struct TraceLine {
    std::string direction, protocol, kind, sequence, channel, body, wire, note;
};
std::vector<TraceLine> readTrace(const std::string &path);

// Requests as the host builds them.
Bytes readRequest(uint8_t item, const std::string &name = "");
Bytes writeRequest(uint8_t item, uint32_t total, uint16_t mask = 0x2000);
Bytes chunkRequest(const Bytes &data, size_t offset, size_t count);
Bytes endOfData(uint16_t check);

// A one-chunk write up to and including the end of data with the given check
// value; false when a step was not acknowledged or answered as expected.
bool writeInOneChunk(HostLink &host, uint8_t item, const Bytes &data, uint16_t check);

// A whole read through HostLink: the payloads from read start to read end.
std::vector<Bytes> readExchange(HostLink &host, uint8_t item);

} // namespace q57::sim::testing
