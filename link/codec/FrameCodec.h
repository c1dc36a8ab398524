// SPDX-License-Identifier: MIT
// The link's frame codec: CRC-16/ARC, frame kinds and type codes, building a
// frame's bytes and finding a frame at the front of a byte buffer. Pure: no
// I/O, no clock. Shared by the link library (host side) and the device
// simulator (device side), which speak the same frames in opposite directions.
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/include/spp.h"

namespace spp {

using LinkFrame = ::SppLinkFrame;

// ---- Check value --------------------------------------------------------

// The 256-entry table of CRC-16/ARC (polynomial 0x8005 bit-reflected, 0xA001).
const uint16_t *crc16ArcTable();

// CRC-16/ARC (initial value 0, no final exclusive-or) over length bytes.
uint16_t crc16Arc(const uint8_t *data, size_t length);

// ---- Frames -------------------------------------------------------------

// LinkFrame.kind values. Unscoped so that they compare with the 8-bit field.
enum FrameKind : uint8_t {
    AttentionToDevice = 1,
    BootSignal = 2,
    AttentionFromDevice = 3,
    Reset = 4,
    Configure = 5,
    Acknowledge = 6,
    Status = 7,
    Connect = 8,
    Release = 9,
    Data = 10,
};

enum class ProtocolVersion : uint8_t { V3 = 3, V4 = 4 };

// Which end of the link is parsing: each accepts the type codes the other sends.
enum class LinkSide : uint8_t { Host, Device };

// Whether a frame's two check bytes hold the CRC (serial, and always in v3)
// or are sent as zeros and not checked (v4 over UDP).
enum class CheckMode : uint8_t { Computed, Unchecked };

constexpr uint8_t kChannelCount = 6;
constexpr size_t kMaxFrameSize = SPP_MAX_FRAME;
constexpr uint8_t kResetPayload[4] = {0x12, 0x34, 0x56, 0x78};

// Header and length field, without payload and check value.
constexpr size_t headerSize(ProtocolVersion version)
{
    return version == ProtocolVersion::V4 ? 4 : 3;
}

// Largest payload a frame of this version can carry: 1018 in v4, 255 in v3.
constexpr size_t maxPayload(ProtocolVersion version)
{
    return version == ProtocolVersion::V4 ? kMaxFrameSize - 6 : 255;
}

// Type code of a data frame on a channel (0 to 5); the map is not the identity.
uint8_t dataTypeCode(uint8_t channel);

// Channel of a data type code (0 to 5).
uint8_t channelOfTypeCode(uint8_t typeCode);

// Writes the wire form of frame into out (at most capacity bytes). The body
// follows the kind: acknowledge carries status, status carries status and
// statusValue, connect and release carry nothing, data, reset and configure
// carry length payload bytes; single-byte frames (attention, boot signal) are
// the header alone. Returns the number of bytes written, or 0 without writing
// anything for an unknown kind, a data channel above 5, a payload beyond the
// version's limit, or a frame longer than capacity or 1024 bytes.
size_t buildFrame(const LinkFrame &frame, ProtocolVersion version, CheckMode check, uint8_t *out, size_t capacity);

// Parser verdicts. SPP_RF_OK means "nothing decided" and is never returned.
enum ReceiveVerdict : uint8_t {
    SPP_RF_OK = 0,
    SPP_RF_NEED_MORE = 1,
    SPP_RF_BAD = 2,
    SPP_RF_FRAME = 3,
};

struct ParseOptions {
    ProtocolVersion version = ProtocolVersion::V4;
    CheckMode check = CheckMode::Computed;
    LinkSide side = LinkSide::Host;
};

struct ParseResult {
    ReceiveVerdict verdict = SPP_RF_NEED_MORE;
    size_t consumed = 0; // bytes to remove from the front: the frame, or 1 for garbage
    // With SPP_RF_NEED_MORE: how many bytes the frame at the front has at least,
    // as far as the bytes so far tell (1 for an empty buffer, the header size
    // before the length is known, the whole frame after). Readers use it to
    // read no further than the frame they are completing.
    size_t needed = 1;
};

// Looks for a frame at the very start of data. SPP_RF_FRAME fills frame and
// consumes its bytes; SPP_RF_BAD means the first byte cannot start a frame
// (consume 1 and try again); SPP_RF_NEED_MORE means the bytes so far are the
// start of a frame that is not complete yet (nothing consumed).
ParseResult parseFrame(const uint8_t *data, size_t length, const ParseOptions &options, LinkFrame &frame);

} // namespace spp
