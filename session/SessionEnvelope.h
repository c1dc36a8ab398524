// SPDX-License-Identifier: MIT
#pragma once
// The request and response envelope of the device session on link channel 5.
// Pure functions over byte buffers: no link, no state. The version messages of a
// response are shown through the UserInteraction passed in, which keeps the
// parser usable from tests and fuzzers.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace q57 {

class UserInteraction;

// The link channel that carries every session message.
constexpr uint16_t kSessionChannel = 5;
// Responses are received into this many bytes; no request is longer.
constexpr size_t kSessionBufferSize = 128;
// The largest data chunk, so that a chunk request (code, count, bytes) fits the buffer.
constexpr size_t kMaxChunkData = 126;
// The longest device file name a read request carries.
constexpr size_t kMaxDeviceFileName = 16;
// Framed requests and responses begin with these four bytes.
constexpr std::array<uint8_t, 4> kSessionMagic{0xDE, 0xAD, 0xBE, 0xEF};
// The level byte of every framed request but a mode query sent at the alternate level.
constexpr uint8_t kRequestLevel = 2;
constexpr uint8_t kAlternateRequestLevel = 3;
// The mode a device must be in to transfer items.
constexpr uint8_t kTransferMode = 4;
// The constant that follows the item id in read and write requests.
constexpr uint8_t kItemRequestConstant = 9;
// Item ids of read and write requests whose exchanges differ from the others'.
constexpr uint8_t kAddressBookDeviceId = 1;
constexpr uint8_t kQuicktextDeviceId = 4;
constexpr uint8_t kFileDeviceId = 6;

enum RequestCode : uint8_t {
    ModeSwitchRequest = 1,
    ReadItemRequest = 2,
    AbortReadRequest = 3,
    WriteItemRequest = 4,
    DataChunkRequest = 5,
    EndOfDataRequest = 6,
    AbortWriteRequest = 7,
    ModeQueryRequest = 8,
    CancelWriteRequest = 17,
};

enum ResponseCode : uint8_t {
    InvalidResponse = 0,
    ReadStartResponse = 11,
    DataChunkResponse = 12,
    ReadEndResponse = 13,
    UnexpectedResponse14 = 14,
    WriteAcceptedResponse = 15,
    WriteProgressResponse = 16,
    RefusedResponse = 17,
    UnexpectedResponse18 = 18,
    ModeReportResponse = 19,
};

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
