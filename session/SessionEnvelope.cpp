// SPDX-License-Identifier: MIT
#include "SessionEnvelope.h"

#include <algorithm>
#include <cstring>

#include "app/UserInteraction.h"

namespace q57 {

namespace {

// The program version a device's level check names ("This version of Q57
// Backup (1.02) ..."): the version that speaks levels 2 and 3 of the device
// handshake, which stays as it is whatever the project's own version.
constexpr const char *kHandshakeVersion = "1.02";

class RequestWriter {
public:
    explicit RequestWriter(SessionBuffer &buffer) : buffer_(buffer) {}

    void byte(uint8_t value) { buffer_[length_++] = value; }
    void bigEndian16(uint16_t value)
    {
        byte(static_cast<uint8_t>(value >> 8));
        byte(static_cast<uint8_t>(value));
    }
    void bigEndian32(uint32_t value)
    {
        bigEndian16(static_cast<uint16_t>(value >> 16));
        bigEndian16(static_cast<uint16_t>(value));
    }
    void bytes(const uint8_t *data, size_t count)
    {
        if (count != 0)
            std::memcpy(buffer_.data() + length_, data, count);
        length_ += count;
    }
    void framedHeader(uint8_t level, RequestCode code)
    {
        bytes(kSessionMagic.data(), kSessionMagic.size());
        byte(level);
        byte(code);
    }
    // Item id, the constant 9 and the selection mask of read and write requests.
    void itemHeader(const RequestFields &fields)
    {
        byte(fields.itemId);
        byte(kItemRequestConstant);
        bigEndian16(fields.selectionMask);
    }
    size_t length() const { return length_; }

private:
    SessionBuffer &buffer_;
    size_t length_ = 0;
};

bool isFramed(const uint8_t *buffer, size_t length)
{
    return length >= 5 && std::equal(kSessionMagic.begin(), kSessionMagic.end(), buffer);
}

SessionResponse invalid(std::optional<bool> levelTwo = std::nullopt)
{
    SessionResponse response;
    response.levelTwo = levelTwo;
    return response;
}

SessionResponse parseFramed(const uint8_t *buffer, size_t length, UserInteraction &ui)
{
    if (length <= kLevelOffset + 1)
        return invalid();
    const uint8_t level = buffer[kLevelOffset];
    const bool levelTwo = level == 2;
    if (level < 2) {
        showMessage(ui,
                    "This version of Q57 Backup (%s) is incompatible with your device. "
                    "The device must be upgraded.",
                    kHandshakeVersion);
        return invalid(levelTwo);
    }
    if (level > 3) {
        showMessage(ui,
                    "This version of Q57 Backup (%s) is incompatible with your device. "
                    "Please upgrade your Q57 Backup software.",
                    kHandshakeVersion);
        return invalid(levelTwo);
    }

    SessionResponse response;
    response.levelTwo = levelTwo;
    const uint8_t code = buffer[kCodeOffset];
    const uint8_t *fields = buffer + kFramedFieldsOffset;
    switch (code) {
    case ReadStartResponse:
    case WriteAcceptedResponse:
        if (length < kFramedFieldsOffset + 4)
            return invalid(levelTwo);
        response.value = readBigEndian32(fields);
        break;
    case ModeReportResponse:
        if (length < kFramedFieldsOffset + 1)
            return invalid(levelTwo);
        response.value = fields[0];
        break;
    default: return invalid(levelTwo);
    }
    response.code = code;
    return response;
}

SessionResponse parseShort(const uint8_t *buffer, size_t length)
{
    if (length == 0)
        return invalid();
    SessionResponse response;
    const uint8_t code = buffer[0];
    switch (code) {
    case DataChunkResponse:
        if (length < 2)
            return invalid();
        response.value = buffer[1];
        break;
    case ReadEndResponse:
    case WriteProgressResponse:
        if (length < 5)
            return invalid();
        response.value = readBigEndian32(buffer + 1);
        break;
    case UnexpectedResponse14:
    case RefusedResponse:
    case UnexpectedResponse18: break;
    default: return invalid();
    }
    response.code = code;
    return response;
}

} // namespace

uint16_t readBigEndian16(const uint8_t *bytes)
{
    return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
}

uint32_t readBigEndian32(const uint8_t *bytes)
{
    return (static_cast<uint32_t>(readBigEndian16(bytes)) << 16) | readBigEndian16(bytes + 2);
}

size_t buildRequest(SessionBuffer &buffer, RequestCode code, const RequestFields &fields)
{
    RequestWriter request(buffer);
    switch (code) {
    case ModeSwitchRequest:
        request.framedHeader(kRequestLevel, code);
        request.byte(fields.mode);
        break;
    case ReadItemRequest: {
        const std::string_view name = fields.deviceFileName.substr(0, kMaxDeviceFileName);
        request.framedHeader(kRequestLevel, code);
        request.itemHeader(fields);
        request.byte(static_cast<uint8_t>(name.size()));
        request.bytes(reinterpret_cast<const uint8_t *>(name.data()), name.size());
        break;
    }
    case WriteItemRequest:
        request.framedHeader(kRequestLevel, code);
        request.itemHeader(fields);
        request.bigEndian32(fields.total);
        break;
    case DataChunkRequest: {
        const size_t count = std::min(fields.dataLength, kMaxChunkData);
        request.byte(code);
        request.byte(static_cast<uint8_t>(count));
        request.bytes(fields.data, count);
        break;
    }
    case EndOfDataRequest:
        request.byte(code);
        request.bigEndian16(fields.checkValue);
        break;
    case ModeQueryRequest: request.framedHeader(fields.level, code); break;
    case AbortReadRequest:
    case AbortWriteRequest:
    case CancelWriteRequest: request.byte(code); break;
    default: return 0;
    }
    return request.length();
}

SessionResponse parseResponse(const uint8_t *buffer, size_t length, UserInteraction &ui)
{
    if (isFramed(buffer, length))
        return parseFramed(buffer, length, ui);
    return parseShort(buffer, length);
}

} // namespace q57
