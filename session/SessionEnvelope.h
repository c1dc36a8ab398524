// SPDX-License-Identifier: MIT
#pragma once
// The request and response envelope of the device session on link channel 5.
// Pure functions over byte buffers: no link, no state. The version messages of a
// response are shown through the UserInteraction passed in, which keeps the
// parser usable from tests and fuzzers.

#include "session/SessionCodes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace q57 {

class UserInteraction;

// The fields a request may carry; each request code uses the ones it needs.
struct RequestFields {
    uint8_t level = kRequestLevel;   // mode query only: 2, or 3 at the alternate level
    uint8_t mode = kTransferMode;    // mode switch
    uint8_t itemId = 0;              // read and write item
    uint16_t selectionMask = 0;      // read and write item
    std::string_view deviceFileName; // read item: at most 16 bytes are sent
    uint32_t total = 0;              // write item
    uint16_t checkValue = 0;         // end of data
    const uint8_t *data = nullptr;   // data chunk: at most 126 bytes are sent
    size_t dataLength = 0;
};

using SessionBuffer = std::array<uint8_t, kSessionBufferSize>;

// Lays out a request in buffer and returns its length; 0 for a code that is
// not a request.
size_t buildRequest(SessionBuffer &buffer, RequestCode code, const RequestFields &fields = {});

struct SessionResponse {
    uint8_t code = InvalidResponse; // InvalidResponse (0) for anything not acceptable
    uint32_t value = 0;
    // Set when a framed response of six bytes or more carried a level byte:
    // whether that level was 2. Valid or not, such a response rewrites the
    // session's idea of the device's level.
    std::optional<bool> levelTwo;
};

// Validates and decodes one response of length bytes. A framed response from a
// device whose level is below 2 or above 3 is invalid and shows the matching
// incompatibility message through ui.
SessionResponse parseResponse(const uint8_t *buffer, size_t length, UserInteraction &ui);

// Big-endian numbers as they stand in requests and responses.
uint16_t readBigEndian16(const uint8_t *bytes);
uint32_t readBigEndian32(const uint8_t *bytes);

} // namespace q57
