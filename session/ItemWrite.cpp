// SPDX-License-Identifier: MIT
// Writing one prepared item to the device: the write request and the device's
// capacity answer, the room check, the chunks that the device confirms one by
// one (it says where the next chunk starts, within what it has been sent, and
// must get further now and then), and the end of data with the check value.

#include "DeviceSession.h"

#include <algorithm>
#include <array>
#include <istream>

#include "app/DataItem.h"
#include "app/ItemCatalogue.h"
#include "app/JobFlags.h"
#include "app/StatusLog.h"
#include "app/UserInteraction.h"
#include "formats/DeviceCapacityCheck.h"
#include "formats/FormatContext.h"
#include "formats/TransferCheck.h"
#include "link/include/spp.h"

namespace q57 {

namespace {

constexpr uint8_t kWriteTries = 3;
// A write-accepted answer carries the device's information for the item from here.
constexpr size_t kItemFlagsOffset = 10;
// The address book's progress stops short of 100 until the device has rebuilt it.
constexpr uint64_t kAddressBookScale = 90;
constexpr uint64_t kItemScale = 100;
constexpr int kAddressBookRebuiltPercent = 95;
// Answers in a row that take the write no further than before, after which the
// device is taken to be stuck rather than slow.
constexpr unsigned kStalledAnswerLimit = 5;

enum WriteFailure : uint8_t {
    WriteRequestNotAcknowledged = 1,
    NoWriteAnswer = 2,
    WriteRefused = 3,
    UnexpectedWriteAnswer = 4,
    CancelWriteNotAcknowledged = 5,
    ItemDataNotReadable = 6,
    ChunkNotAcknowledged = 7,
    NoChunkAnswer = 8,
    UnexpectedChunkAnswer = 9, // also an offset the write cannot go on from
    EndOfDataNotAcknowledged = 10,
    NoRebuildAnswer = 11,
};

bool isAddressBook(const DataItem &item)
{
    return item.deviceItemId == device::AddressBook;
}

// How far the write has got by the device's answers.
struct WriteHeadway {
    uint32_t furthest = 0;       // the most the device has reported taking
    unsigned stalledAnswers = 0; // answers in a row that got no further
};

// The device may go back (it lost bytes), but it cannot have taken more than it
// has been sent (`sent`, the end of the chunk just sent): ending there would
// leave the rest of the item unsent. Nor may it go back for ever: a run of
// answers that get no further than before ends the write.
bool offsetUsable(uint32_t reported, uint32_t sent, WriteHeadway &headway)
{
    if (reported > sent)
        return false;
    if (reported > headway.furthest) {
        headway.furthest = reported;
        headway.stalledAnswers = 0;
        return true;
    }
    return ++headway.stalledAnswers < kStalledAnswerLimit;
}

} // namespace

bool DeviceSession::writeItemToDevice(DataItem &item, uint32_t total)
{
    if (!item.selected)
        return true;
    log_.log("%s:\n", item.displayName.c_str());
    if (item.size == 0) {
        log_.log("Empty file not restored.\n\n");
        return true;
    }
    sendProgress(item, 0);
    if (isAddressBook(item))
        ui_.statusNotice(StatusClearingAddressBook);

    uint32_t capacity = 0;
    if (!acceptWrite(item, total, capacity) || !roomForWrite(item, total, capacity))
        return false;
    ui_.statusNotice(StatusRestoreInProgress);

    uint16_t check = 0;
    if (!sendChunks(item, check))
        return false;
    return finishWrite(item, check);
}

// The write request, and the device's answer with its capacity and item information.
bool DeviceSession::acceptWrite(DataItem &item, uint32_t total, uint32_t &capacity)
{
    RequestFields request;
    request.itemId = item.deviceItemId;
    request.selectionMask = catalogue_.selectionMask();
    request.total = total;
    if (!sendRequest(WriteItemRequest, request, kWriteTries)) {
        catalogue_.reportItemFailure(item, WriteRequestNotAcknowledged);
        return false;
    }
    if (!receiveResponse(timing_.writeAcceptWait)) {
        catalogue_.reportItemFailure(item, NoWriteAnswer);
        return false;
    }
    const SessionResponse answer = parseReceived();
    if (answer.code != WriteAcceptedResponse) {
        catalogue_.reportItemFailure(item, answer.code == RefusedResponse ? WriteRefused : UnexpectedWriteAnswer);
        return false;
    }
    capacity = answer.value;
    if (responseLength_ > kItemFlagsOffset) {
        const size_t count = std::min(responseLength_ - kItemFlagsOffset, item.itemFlags.size());
        std::copy_n(buffer_.begin() + kItemFlagsOffset, count, item.itemFlags.begin());
    }
    return true;
}

bool DeviceSession::roomForWrite(DataItem &item, uint32_t total, uint32_t capacity)
{
    if (isAddressBook(item)) {
        // A capacity beyond 16 bits is as good as the largest one the check knows.
        const auto contacts = static_cast<uint16_t>(std::min<uint32_t>(capacity, 0xFFFF));
        if (!checkDeviceCapacity(formats_, contacts))
            return false;
        ui_.statusNotice(StatusClearingAddressBook);
        return true;
    }
    if (total == 0 || capacity >= total)
        return true;

    if (item.deviceItemId == device::Quicktext)
        showMessage(ui_, "Number of Quicktext entries exceeds the %ld maximum. (%ld records)",
                    static_cast<long>(capacity), static_cast<long>(item.recordCount));
    else
        showMessage(ui_, "Not enough memory on device to restore %s.", item.displayName.c_str());
    if (!sendRequest(CancelWriteRequest, RequestFields{}, kWriteTries))
        catalogue_.reportItemFailure(item, CancelWriteNotAcknowledged);
    return false;
}

// Sends the item's bytes in chunks of up to 126; after each one the device
// reports how much it has taken, and the next chunk starts there.
bool DeviceSession::sendChunks(DataItem &item, uint16_t &check)
{
    const uint64_t scale = isAddressBook(item) ? kAddressBookScale : kItemScale;
    std::array<uint8_t, kMaxChunkData> chunk{};
    uint32_t offset = 0;
    WriteHeadway headway;
    while (offset < item.size) {
        if (flags_.abortRequested) {
            sendRequest(AbortWriteRequest, RequestFields{}, kWriteTries);
            return false;
        }
        item.stream.clear();
        if (!item.stream.seekg(offset)) {
            catalogue_.reportItemFailure(item, ItemDataNotReadable);
            return false;
        }
        const size_t wanted = std::min<size_t>(item.size - offset, chunk.size());
        item.stream.read(reinterpret_cast<char *>(chunk.data()), static_cast<std::streamsize>(wanted));
        const auto length = static_cast<size_t>(item.stream.gcount());
        if (length == 0) {
            // Data shorter than its measured size would have us send empty chunks forever.
            catalogue_.reportItemFailure(item, ItemDataNotReadable);
            return false;
        }
        check = transferCheck(check, chunk.data(), length);

        RequestFields request;
        request.data = chunk.data();
        request.dataLength = length;
        if (!sendRequest(DataChunkRequest, request, kWriteTries)) {
            catalogue_.reportItemFailure(item, ChunkNotAcknowledged);
            return false;
        }
        if (!receiveResponse(timing_.writeProgressWait)) {
            catalogue_.reportItemFailure(item, NoChunkAnswer);
            return false;
        }
        const SessionResponse answer = parseReceived();
        if (answer.code == RefusedResponse) {
            showMessage(ui_, "Unable to restore %s. (Device may be out of memory).", item.displayName.c_str());
            log_.log("Unable to restore %s. Device may be out of memory.\n", item.displayName.c_str());
            return false;
        }
        const auto sent = static_cast<uint32_t>(offset + length);
        if (answer.code != WriteProgressResponse || !offsetUsable(answer.value, sent, headway)) {
            catalogue_.reportItemFailure(item, UnexpectedChunkAnswer);
            return false;
        }
        sendProgress(item, scale * (offset + length) / item.size);
        offset = answer.value;
    }
    return true;
}

// The end of data carries the data's stored trailer when it has one (the two
// bytes after the data sent), else the check value computed while sending.
bool DeviceSession::finishWrite(DataItem &item, uint16_t check)
{
    uint8_t trailer[2] = {};
    item.stream.clear();
    item.stream.seekg(item.size);
    item.stream.read(reinterpret_cast<char *>(trailer), sizeof trailer);
    RequestFields end;
    end.checkValue = item.stream.gcount() == 2 ? static_cast<uint16_t>(trailer[0] | (trailer[1] << 8)) : check;
    if (!sendRequest(EndOfDataRequest, end, kWriteTries)) {
        catalogue_.reportItemFailure(item, EndOfDataNotAcknowledged);
        return false;
    }
    if (isAddressBook(item)) {
        ui_.statusNotice(StatusRebuildingAddressBook);
        if (!receiveResponse(timing_.rebuildWait)) {
            catalogue_.reportItemFailure(item, NoRebuildAnswer);
            return false;
        }
        ui_.progressNotice(item.deviceItemId, kAddressBookRebuiltPercent);
        sleepMs(timing_.afterAddressBookPause);
    }
    sendProgress(item, 100);
    log_.log("Restored successfully.\n\n");
    return true;
}

} // namespace q57
