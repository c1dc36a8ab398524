// SPDX-License-Identifier: MIT
#pragma once
// The session protocol on link channel 5 as both ends spell it: the host's
// session (SessionEnvelope), the device simulator and its read client. Only
// numbers, with nothing below them, so the simulator uses them without the
// session library (target q57session_codes), as it uses the frame codec.
//
// A framed message: the magic (4 bytes), the level byte, the code, its fields.
// Other messages (data chunks and their answers, the read end, the aborts)
// begin with their code.

#include <array>
#include <cstddef>
#include <cstdint>

namespace q57 {

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
// Byte offsets of a framed message: magic 0-3, level 4, code 5, fields from 6.
constexpr size_t kLevelOffset = 4;
constexpr size_t kCodeOffset = 5;
constexpr size_t kFramedFieldsOffset = 6;
// The level byte of every framed request but a mode query sent at the alternate level.
constexpr uint8_t kRequestLevel = 2;
constexpr uint8_t kAlternateRequestLevel = 3;
// The mode a device must be in to transfer items.
constexpr uint8_t kTransferMode = 4;
// The constant that follows the item id in read and write requests.
constexpr uint8_t kItemRequestConstant = 9;

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

// The item ids of read and write requests, as the device numbers its items.
// In a namespace of their own: the program's catalogue has items of the same names.
namespace device {
enum ItemId : uint8_t {
    Preferences = 0,
    AddressBook = 1,
    Folders = 2,
    Memos = 3,
    Quicktext = 4,
    TestFile = 5,
    NamedFile = 6, // a file named in the read request
};
} // namespace device

} // namespace q57
