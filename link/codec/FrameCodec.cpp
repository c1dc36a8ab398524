// SPDX-License-Identifier: MIT
// Building and parsing the wire form of link frames, v4 and v3.
//
// v4: header (1 | version 4 | type code), sequence, length (2 bytes, big-endian),
//     payload, check value (2 bytes, low byte first).
// v3: the same with a one-byte length and version bits 3.
// Attention and boot signal frames are the header byte alone.
#include "link/codec/FrameCodec.h"

#include <cstring>

namespace spp {
namespace {

constexpr uint8_t kDataTypeByChannel[kChannelCount] = {1, 2, 3, 0, 4, 5};

constexpr uint8_t kTypeAttention = 8;
constexpr uint8_t kTypeAcknowledge = 9;
constexpr uint8_t kTypeStatus = 10;
constexpr uint8_t kTypeConnect = 11;
constexpr uint8_t kTypeBootSignal = 12;
constexpr uint8_t kTypeConfigure = 13;
constexpr uint8_t kTypeReset = 14;
constexpr uint8_t kTypeRelease = 15;

// What follows the length field.
enum class Body : uint8_t {
    None,       // single-byte frame: no sequence, length or check value
    Payload,    // length payload bytes (data, reset, configure)
    StatusByte, // acknowledge: exactly one byte
    StatusPair, // status: exactly two bytes
    Empty,      // connect, release: length 0
};

struct TypeInfo {
    bool accepted = false;
    FrameKind kind = Data;
    Body body = Body::None;
};

// The type codes each side takes from the other; everything else is garbage.
TypeInfo typeInfo(uint8_t typeCode, LinkSide side)
{
    const bool host = side == LinkSide::Host;
    if (typeCode <= 5)
        return {true, Data, Body::Payload};
    switch (typeCode) {
    case kTypeAttention: return {true, host ? AttentionFromDevice : AttentionToDevice, Body::None};
    case kTypeAcknowledge: return {true, Acknowledge, Body::StatusByte};
    case kTypeConnect: return {true, Connect, Body::Empty};
    case kTypeRelease: return {true, Release, Body::Empty};
    case kTypeStatus: return {host, Status, Body::StatusPair};
    case kTypeBootSignal: return {host, BootSignal, Body::None};
    case kTypeConfigure: return {!host, Configure, Body::Payload};
    case kTypeReset: return {!host, Reset, Body::Payload};
    default: return {};
    }
}

// Type code of a kind; false for an unknown kind or a data channel above 5.
bool typeCodeOf(const LinkFrame &frame, uint8_t &typeCode)
{
    switch (frame.kind) {
    case AttentionToDevice:
    case AttentionFromDevice: typeCode = kTypeAttention; return true;
    case BootSignal: typeCode = kTypeBootSignal; return true;
    case Reset: typeCode = kTypeReset; return true;
    case Configure: typeCode = kTypeConfigure; return true;
    case Acknowledge: typeCode = kTypeAcknowledge; return true;
    case Status: typeCode = kTypeStatus; return true;
    case Connect: typeCode = kTypeConnect; return true;
    case Release: typeCode = kTypeRelease; return true;
    case Data:
        if (frame.channel >= kChannelCount)
            return false;
        typeCode = kDataTypeByChannel[frame.channel];
        return true;
    default: return false;
    }
}

Body bodyOfKind(uint8_t kind)
{
    switch (kind) {
    case AttentionToDevice:
    case AttentionFromDevice:
    case BootSignal: return Body::None;
    case Acknowledge: return Body::StatusByte;
    case Status: return Body::StatusPair;
    case Connect:
    case Release: return Body::Empty;
    default: return Body::Payload;
    }
}

uint8_t headerByte(ProtocolVersion version, uint8_t typeCode)
{
    return static_cast<uint8_t>(0x80u | (static_cast<unsigned>(version) << 4) | typeCode);
}

// Body length a frame of this shape must announce; -1 when any length goes.
int fixedBodyLength(Body body)
{
    switch (body) {
    case Body::StatusByte: return 1;
    case Body::StatusPair: return 2;
    case Body::Empty: return 0;
    default: return -1;
    }
}

constexpr ParseResult needMore(size_t needed)
{
    return {SPP_RF_NEED_MORE, 0, needed};
}
constexpr ParseResult kBad{SPP_RF_BAD, 1, 1};

} // namespace

uint8_t dataTypeCode(uint8_t channel)
{
    return kDataTypeByChannel[channel % kChannelCount];
}

uint8_t channelOfTypeCode(uint8_t typeCode)
{
    for (uint8_t channel = 0; channel < kChannelCount; ++channel)
        if (kDataTypeByChannel[channel] == typeCode)
            return channel;
    return 0;
}

size_t buildFrame(const LinkFrame &frame, ProtocolVersion version, CheckMode check, uint8_t *out, size_t capacity)
{
    uint8_t typeCode = 0;
    if (!typeCodeOf(frame, typeCode))
        return 0;
    const Body body = bodyOfKind(frame.kind);
    if (body == Body::None) {
        if (capacity < 1)
            return 0;
        out[0] = headerByte(version, typeCode);
        return 1;
    }

    uint8_t fixedBody[2] = {frame.status, frame.statusValue};
    const int fixedLength = fixedBodyLength(body);
    const size_t bodyLength = fixedLength >= 0 ? static_cast<size_t>(fixedLength) : frame.length;
    const uint8_t *bodyBytes = fixedLength >= 0 ? fixedBody : frame.payload;
    const size_t header = headerSize(version);
    const size_t total = header + bodyLength + 2;
    if (bodyLength > maxPayload(version) || total > kMaxFrameSize || total > capacity)
        return 0;

    out[0] = headerByte(version, typeCode);
    out[1] = frame.sequence;
    if (version == ProtocolVersion::V4) {
        out[2] = static_cast<uint8_t>(bodyLength >> 8);
        out[3] = static_cast<uint8_t>(bodyLength);
    } else {
        out[2] = static_cast<uint8_t>(bodyLength);
    }
    if (bodyLength > 0)
        std::memcpy(out + header, bodyBytes, bodyLength);
    const uint16_t crc = check == CheckMode::Computed ? crc16Arc(out, header + bodyLength) : 0;
    out[header + bodyLength] = static_cast<uint8_t>(crc);
    out[header + bodyLength + 1] = static_cast<uint8_t>(crc >> 8);
    return total;
}

ParseResult parseFrame(const uint8_t *data, size_t length, const ParseOptions &options, LinkFrame &frame)
{
    if (length == 0)
        return needMore(1);
    const uint8_t header = data[0];
    if ((header & 0x80u) == 0 || ((header >> 4) & 0x7u) != static_cast<unsigned>(options.version))
        return kBad;
    const uint8_t typeCode = header & 0x0Fu;
    const TypeInfo info = typeInfo(typeCode, options.side);
    if (!info.accepted)
        return kBad;
    if (info.body == Body::None) {
        frame.kind = info.kind;
        frame.channel = 0;
        frame.sequence = 0;
        frame.length = 0;
        return {SPP_RF_FRAME, 1};
    }

    const size_t headerLength = headerSize(options.version);
    if (length < headerLength)
        return needMore(headerLength);
    const size_t bodyLength = options.version == ProtocolVersion::V4 ? (size_t{data[2]} << 8 | data[3]) : data[2];
    // A length that does not fit the kind, or a frame that could never fit
    // the 1024-byte receive buffer, marks the header byte as garbage.
    const int fixedLength = fixedBodyLength(info.body);
    if ((fixedLength >= 0 && bodyLength != static_cast<size_t>(fixedLength)) ||
        bodyLength > maxPayload(options.version))
        return kBad;
    const size_t total = headerLength + bodyLength + 2;
    if (length < total)
        return needMore(total);
    if (options.check == CheckMode::Computed) {
        const uint16_t crc = crc16Arc(data, headerLength + bodyLength);
        if (data[headerLength + bodyLength] != static_cast<uint8_t>(crc) ||
            data[headerLength + bodyLength + 1] != static_cast<uint8_t>(crc >> 8))
            return kBad;
    }

    frame.kind = info.kind;
    frame.channel = info.kind == Data ? channelOfTypeCode(typeCode) : 0;
    frame.sequence = data[1];
    frame.length = static_cast<uint16_t>(bodyLength);
    if (bodyLength > 0)
        std::memcpy(frame.payload, data + headerLength, bodyLength);
    frame.status = bodyLength > 0 && fixedLength > 0 ? data[headerLength] : 0;
    frame.statusValue = fixedLength == 2 ? data[headerLength + 1] : 0;
    return {SPP_RF_FRAME, total};
}

} // namespace spp
