// SPDX-License-Identifier: MIT
// A minimal host for the simulator: connects through the spp library (a COMn
// port name or a UDP address), makes sure the device is in transfer mode and
// reads one item over channel 5, verifying the read end's check value.
// q57sim-read and the simulator's benchmark use it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/include/spp.h"

namespace q57::sim {

class ReadClient {
public:
    ReadClient() = default;
    ~ReadClient();
    ReadClient(const ReadClient &) = delete;
    ReadClient &operator=(const ReadClient &) = delete;

    // Opens and connects the link, queries the mode and switches to mode 4
    // when needed. False with a reason in error().
    bool connect(const std::string &port);
    // Reads one item; fileName only for the File item (id 6).
    bool readItem(uint8_t itemId, uint16_t selectionMask, const std::string &fileName, std::vector<uint8_t> &data);
    // Releases and closes the link.
    void close();

    const std::string &error() const { return error_; }
    // Responses received by the last read.
    size_t responsesReceived() const { return responses_; }

private:
    bool fail(const std::string &reason);
    bool request(const std::vector<uint8_t> &payload, uint8_t tries);
    bool response(uint16_t timeoutMs, std::vector<uint8_t> &payload);
    bool queryMode(uint8_t &mode);

    SppHandle handle_{};
    bool open_ = false;
    size_t responses_ = 0;
    std::string error_;
};

} // namespace q57::sim
