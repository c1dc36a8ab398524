// SPDX-License-Identifier: MIT
// The simulator's command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/FaultPlan.h"

namespace q57::sim {

enum class TransportKind { None, Pty, Udp };
enum class SampleSize { Small, Large };

struct DeviceSettings {
    uint8_t protocol = 4;    // 4 or 3
    uint8_t level = 2;       // level byte of framed responses
    uint8_t mode = 4;        // mode at start
    uint16_t capacity = 384; // address book contacts
    uint8_t supportedSelections = 0xFF;
    uint32_t quicktextCapacity = 20;
    uint32_t memory = 1024 * 1024; // bytes of room for a write
};

struct SimOptions {
    TransportKind transport = TransportKind::None;
    std::string portAlias;  // --as COM1
    std::string udpAddress; // --udp 127.0.0.2
    std::string dataFolder; // --data DIR
    SampleSize sample = SampleSize::Small;
    uint32_t baud = 0;     // 0: no line-rate emulation
    std::string traceFile; // "-" for standard error
    DeviceSettings device;
    FaultPlan faults;
    bool help = false;
    bool version = false;
};

// Parses argv[1..]. False with a one-line reason in error for a bad option.
bool parseOptions(const std::vector<std::string> &arguments, SimOptions &options, std::string &error);

// The text of --help.
const char *usageText();

} // namespace q57::sim
