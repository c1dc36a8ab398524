// SPDX-License-Identifier: MIT
// Reading one item from the device into the item's stream: the read request,
// the read start with the total, the data chunks, and the read end whose byte
// count must match the bytes received and whose check value must match the one
// computed over every chunk byte.

#include "DeviceSession.h"

#include <algorithm>
#include <ostream>

#include "app/DataItem.h"
#include "app/ItemCatalogue.h"
#include "app/JobFlags.h"
#include "app/StatusLog.h"
#include "formats/TransferCheck.h"
#include "link/include/spp.h"

namespace q57 {

namespace {

constexpr uint8_t kReadTries = 2;
// A read start for the Address Book carries the device's record capacity here.
constexpr size_t kCapacityOffset = 10;
// A read end carries its check value here, after the code and the count.
constexpr size_t kReadEndCheckOffset = 5;
// Data chunk responses: code, count, then the bytes.
constexpr size_t kChunkDataOffset = 2;

enum ReadFailure : uint8_t {
    ReadRequestNotAcknowledged = 1,
    NoReadResponse = 2,
    UnexpectedReadResponse = 3,
    // The item's file would not hold what the device has: it could not take
    // the data, or the device counts other bytes than it sent.
    ItemFileIncomplete = 4,
};

} // namespace

bool DeviceSession::readItemFromDevice(DataItem &item)
{
    log_.log("\n%s:\n", item.displayName.c_str());
    if (!sendReadRequest(item)) {
        catalogue_.reportItemFailure(item, ReadRequestNotAcknowledged);
        return false;
    }

    uint16_t check = 0;
    uint32_t received = 0;
    uint16_t lines = 0;
    for (;;) {
        if (!receiveResponse(timing_.readResponseWait)) {
            catalogue_.reportItemFailure(item, NoReadResponse);
            return false;
        }
        const SessionResponse response = parseReceived();
        switch (response.code) {
        case ReadStartResponse: takeReadStart(item, response.value, received); break;
        case DataChunkResponse:
            if (!receiveChunk(item, static_cast<uint8_t>(response.value), check, received, lines))
                return false;
            break;
        case ReadEndResponse: sendProgress(item, 100); return readFinished(item, response.value, received, check);
        default: catalogue_.reportItemFailure(item, UnexpectedReadResponse); return false;
        }
        if (flags_.abortRequested) {
            abortRead();
            return false;
        }
    }
}

// A read start announces the total (records for the Address Book, which also
// gets the device's record capacity); a total of 0 means an empty item.
void DeviceSession::takeReadStart(DataItem &item, uint32_t total, uint32_t &received)
{
    if (total == 0) {
        sendProgress(item, 100);
        return;
    }
    expectedTotal_ = total;
    if (item.deviceItemId == device::AddressBook)
        item.capacity = responseLength_ > kCapacityOffset + 1 ? readBigEndian16(buffer_.data() + kCapacityOffset) : 0;
    received = 0;
}

bool DeviceSession::sendReadRequest(const DataItem &item)
{
    RequestFields request;
    request.itemId = item.deviceItemId;
    request.selectionMask = catalogue_.selectionMask();
    if (item.deviceItemId == device::NamedFile)
        request.deviceFileName = deviceFileName_;
    return sendRequest(ReadItemRequest, request, kReadTries);
}

// Takes the chunk's bytes, never more than the response holds, into the check
// value and the item's stream, and moves the item's progress bar.
bool DeviceSession::receiveChunk(DataItem &item, uint8_t count, uint16_t &check, uint32_t &received, uint16_t &lines)
{
    const size_t available = responseLength_ - kChunkDataOffset;
    if (available > count) {
        // Bytes beyond the chunk's own count: a device that no longer knows
        // what it sends. Dropping them would leave a file with holes.
        abortRead();
        catalogue_.reportItemFailure(item, UnexpectedReadResponse);
        return false;
    }
    const size_t length = std::min(available, kMaxChunkData);
    const uint8_t *data = buffer_.data() + kChunkDataOffset;

    check = transferCheck(check, data, length);
    item.stream.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(length));
    if (!item.stream) {
        // A file that cannot take the data (a full disk) must not pass for a backup.
        abortRead();
        catalogue_.reportItemFailure(item, ItemFileIncomplete);
        return false;
    }
    received += static_cast<uint32_t>(length);

    // Address Book progress counts lines (the total counts records), other items bytes.
    uint64_t done = received;
    if (item.deviceItemId == device::AddressBook) {
        lines = static_cast<uint16_t>(lines + std::count(data, data + length, uint8_t{'\n'}));
        done = lines;
    }
    // A device that announced no total yet gets its chunks without a moving bar.
    if (expectedTotal_ != 0)
        sendProgress(item, done * 100 / expectedTotal_);
    return true;
}

bool DeviceSession::readFinished(DataItem &item, uint32_t count, uint32_t received, uint16_t check)
{
    // Bytes lost or made up on the way would pass the check value when the
    // device computed it over what it sent, and leave a short file.
    if (count != received) {
        catalogue_.reportItemFailure(item, ItemFileIncomplete);
        return false;
    }
    // A read end without a check value is taken as it is.
    if (responseLength_ < kReadEndCheckOffset + 2)
        return true;
    deviceCheckValue_ = readBigEndian16(buffer_.data() + kReadEndCheckOffset);
    if (deviceCheckValue_ != check) {
        log_.log("Data corrupted during transfer.\n");
        return false;
    }
    return true;
}

void DeviceSession::abortRead()
{
    sendRequest(AbortReadRequest, RequestFields{}, kReadTries);
}

} // namespace q57
