// SPDX-License-Identifier: MIT
// The frame trace of --trace: one line per frame in either direction,
//   <ms> <rx|tx> <v4|v3> <kind> seq=<hh> ch=<n|-> body=<hex|-> wire=<hex>[ note=<word>]
// ms counts from the start of the simulator; body is the payload of data,
// reset and configure frames, the status byte(s) of acknowledge and status
// frames; wire is every byte of the frame as it went over the line.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "link/codec/FrameCodec.h"
#include "sim/SimClock.h"

namespace q57::sim {

class FrameTrace {
public:
    FrameTrace() = default;
    ~FrameTrace();
    FrameTrace(const FrameTrace &) = delete;
    FrameTrace &operator=(const FrameTrace &) = delete;

    // "-" is standard error. False when the file cannot be opened.
    bool open(const std::string &path, Micros start);

    void frame(bool sent, uint8_t protocol, const spp::LinkFrame &frame, const uint8_t *wire, size_t length,
               const char *note = nullptr);
    // Bytes that are no frame: stray bytes sent on purpose.
    void garbage(uint8_t protocol, const uint8_t *wire, size_t length);

    // While a received frame is handled, the lines of the frames it causes are
    // held back so that they follow the line of the frame that caused them.
    void hold() { holding_ = true; }
    void release();

private:
    void line(const std::string &text);

    FILE *file_ = nullptr;
    bool holding_ = false;
    std::vector<std::string> held_;
    bool ownsFile_ = false;
    Micros start_ = 0;
};

const char *frameKindName(uint8_t kind);
std::string hexBytes(const uint8_t *bytes, size_t length);

} // namespace q57::sim
