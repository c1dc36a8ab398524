// SPDX-License-Identifier: MIT
#include "sim/SessionHandler.h"

#include <algorithm>
#include <string>

#include "session/SessionCodes.h"
#include "sim/DeviceForms.h"
#include "sim/RunningCheck.h"

namespace q57::sim {
namespace {

void put32(Bytes &bytes, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<uint8_t>(value >> shift));
}

void put16(Bytes &bytes, uint16_t value)
{
    bytes.push_back(static_cast<uint8_t>(value >> 8));
    bytes.push_back(static_cast<uint8_t>(value));
}

} // namespace

SessionHandler::SessionHandler(const DeviceSettings &settings, const FaultPlan &faults, ItemStore &store,
                               DeviceLink &link)
    : settings_(settings), faults_(faults), store_(store), link_(link), mode_(settings.mode)
{
}

Bytes SessionHandler::framed(uint8_t code) const
{
    Bytes response(kSessionMagic.begin(), kSessionMagic.end());
    response.push_back(settings_.level);
    response.push_back(code);
    return response;
}

void SessionHandler::refuse()
{
    send({RefusedResponse});
}

void SessionHandler::requestReceived(const uint8_t *payload, size_t length)
{
    if (length == 0)
        return;
    if (length >= kFramedFieldsOffset && std::equal(kSessionMagic.begin(), kSessionMagic.end(), payload)) {
        framedRequest(payload, length);
        return;
    }
    switch (payload[0]) {
    case AbortReadRequest: link_.discardOutgoing(); break;
    case DataChunkRequest: dataChunk(payload, length); break;
    case EndOfDataRequest:
        if (length == 3)
            endOfData(static_cast<uint16_t>(payload[1] << 8 | payload[2]));
        break;
    case AbortWriteRequest:
    case CancelWriteRequest: write_.reset(); break;
    default: refuse(); break;
    }
}

void SessionHandler::framedRequest(const uint8_t *payload, size_t length)
{
    const uint8_t code = payload[kCodeOffset];
    if (code == ModeQueryRequest) {
        Bytes report = framed(ModeReportResponse);
        report.push_back(mode_);
        send(report);
    } else if (code == ModeSwitchRequest && length >= 7) {
        modeSwitch(payload[6]);
    } else if (code == ReadItemRequest && length >= 11) {
        readItem(payload, length);
    } else if (code == WriteItemRequest && length >= 14) {
        writeItem(payload[6]);
    } else {
        refuse();
    }
}

void SessionHandler::modeSwitch(uint8_t wanted)
{
    // The acknowledgement has gone out; the device now changes mode and is
    // off the link for a while, as a real one restarting its application.
    mode_ = wanted;
    write_.reset();
    link_.dropLink(kModeChangeTime);
}

bool SessionHandler::loadForRead(uint8_t item, const uint8_t *name, size_t nameLength, Bytes &data) const
{
    if (item >= kItemCount)
        return false;
    if (item != NamedFile) {
        data = store_.item(item);
        return true;
    }
    const std::string fileName(reinterpret_cast<const char *>(name), std::find(name, name + nameLength, 0) - name);
    return store_.namedFile(fileName, data);
}

void SessionHandler::readItem(const uint8_t *payload, size_t length)
{
    write_.reset();
    const uint8_t item = payload[6];
    const size_t nameLength = std::min<size_t>(payload[10], length - 11);
    Bytes data;
    if (mode_ != kTransferMode || !loadForRead(item, payload + 11, nameLength, data)) {
        refuse();
        return;
    }
    Bytes start = framed(ReadStartResponse);
    put32(start, item == AddressBook ? lineCount(data) : static_cast<uint32_t>(data.size()));
    if (item == AddressBook)
        put16(start, settings_.capacity);
    send(start);
    // A short read stops before its last chunk and checks only what it sent.
    size_t sent = data.size();
    if (faults_.shortRead && sent > 0)
        sent -= (sent - 1) % kChunkSize + 1;
    for (size_t offset = 0; offset < sent; offset += kChunkSize) {
        const size_t n = std::min(kChunkSize, sent - offset);
        const size_t counted = faults_.longReadChunks ? n - 1 : n;
        Bytes chunk = {DataChunkResponse, static_cast<uint8_t>(counted)};
        chunk.insert(chunk.end(), data.begin() + static_cast<std::ptrdiff_t>(offset),
                     data.begin() + static_cast<std::ptrdiff_t>(offset + n));
        send(chunk);
    }
    uint16_t check = runningCheck(0, data.data(), sent);
    if (faults_.wrongReadCheck)
        check ^= 0x5A5A;
    Bytes end = {ReadEndResponse};
    put32(end, static_cast<uint32_t>(data.size()));
    put16(end, check);
    send(end);
}

uint32_t SessionHandler::capacityFor(uint8_t item) const
{
    switch (item) {
    case AddressBook: return settings_.capacity;
    case Quicktext: return settings_.quicktextCapacity;
    default: return settings_.memory;
    }
}

void SessionHandler::writeItem(uint8_t item)
{
    write_.reset();
    if (mode_ != kTransferMode || item >= kItemCount || faults_.refuseWrite) {
        refuse();
        return;
    }
    Bytes accepted = framed(WriteAcceptedResponse);
    put32(accepted, capacityFor(item));
    // Device information: a reserved byte, then the address selections offered.
    accepted.push_back(0);
    accepted.push_back(item == AddressBook ? settings_.supportedSelections : 0);
    send(accepted);
    write_ = WriteInProgress{};
    write_->item = item;
}

void SessionHandler::dataChunk(const uint8_t *payload, size_t length)
{
    if (!write_ || length < 2 || payload[1] != length - 2 || payload[1] > kChunkSize) {
        refuse();
        return;
    }
    const uint8_t *bytes = payload + 2;
    const size_t n = payload[1];
    if (faults_.stuckWriteOffset && write_->chunks > 0) {
        Bytes same = {WriteProgressResponse};
        put32(same, static_cast<uint32_t>(write_->data.size()));
        send(same);
        return;
    }
    const bool outOfMemory = (faults_.outOfMemoryAfterSet && write_->chunks == faults_.outOfMemoryAfter) ||
                             write_->data.size() + n > settings_.memory;
    if (outOfMemory) {
        write_.reset();
        refuse();
        return;
    }
    write_->check = runningCheck(write_->check, bytes, n);
    write_->data.insert(write_->data.end(), bytes, bytes + n);
    ++write_->chunks;
    if (faults_.shortWriteOffset != 0 && !write_->offsetShortened) {
        // Forget the last bytes taken: the host must send them again.
        write_->offsetShortened = true;
        write_->data.resize(write_->data.size() - std::min<size_t>(faults_.shortWriteOffset, write_->data.size()));
    }
    uint32_t reported = static_cast<uint32_t>(write_->data.size());
    if (faults_.longWriteOffset != 0 && !write_->offsetLengthened) {
        write_->offsetLengthened = true;
        reported += faults_.longWriteOffset;
    }
    Bytes progress = {WriteProgressResponse};
    put32(progress, reported);
    send(progress);
}

void SessionHandler::endOfData(uint16_t check)
{
    if (!write_)
        return;
    const WriteInProgress done = std::move(*write_);
    write_.reset();
    // Preferences and folders come with the check value stored in their file,
    // which covers the data once even when some of it had to be sent again.
    const bool intact = check == done.check || check == runningCheck(0, done.data.data(), done.data.size());
    if (intact) {
        Bytes stored = done.data;
        if (done.item == AddressBook)
            stored = storedAddressBook(done.data);
        else if (done.item == Memos)
            stored = storedTextEntries(done.data, 2);
        else if (done.item == Quicktext)
            stored = storedTextEntries(done.data, 1);
        store_.setItem(done.item, stored);
    }
    // The address book answers once more when it has been rebuilt; the empty
    // write that clears it gets no such answer.
    if (done.item != AddressBook || done.chunks == 0 || faults_.noFinalAnswer)
        return;
    if (!intact) {
        refuse();
        return;
    }
    Bytes rebuilt = {WriteProgressResponse};
    put32(rebuilt, static_cast<uint32_t>(done.data.size()));
    send(rebuilt);
}

} // namespace q57::sim
