// SPDX-License-Identifier: MIT
#include "sim/read/ReadClient.h"

#include <unistd.h>

#include <algorithm>

#include "session/SessionCodes.h"
#include "sim/RunningCheck.h"

namespace q57::sim {
namespace {

constexpr uint16_t kSpeed38400 = 2;
constexpr uint16_t kResponseCapacity = kSessionBufferSize;
constexpr uint16_t kResponseTimeoutMs = 10000;
constexpr unsigned kModeChangeMicros = 2500 * 1000;

std::vector<uint8_t> framedRequest(RequestCode code)
{
    std::vector<uint8_t> request(kSessionMagic.begin(), kSessionMagic.end());
    request.insert(request.end(), {kRequestLevel, code});
    return request;
}

bool isFramed(const std::vector<uint8_t> &payload, ResponseCode code, size_t minimum)
{
    return payload.size() >= minimum && std::equal(kSessionMagic.begin(), kSessionMagic.end(), payload.begin()) &&
           payload[kCodeOffset] == code;
}

} // namespace

ReadClient::~ReadClient()
{
    close();
}

bool ReadClient::fail(const std::string &reason)
{
    error_ = reason;
    return false;
}

bool ReadClient::request(const std::vector<uint8_t> &payload, uint8_t tries)
{
    return sppSend(&handle_, kSessionChannel, payload.data(), static_cast<uint16_t>(payload.size()), tries) == 1;
}

bool ReadClient::response(uint16_t timeoutMs, std::vector<uint8_t> &payload)
{
    payload.assign(kResponseCapacity, 0);
    uint16_t length = 0;
    if (sppReceive(&handle_, kSessionChannel, timeoutMs, payload.data(), kResponseCapacity, &length) != 1)
        return false;
    payload.resize(length);
    ++responses_;
    return true;
}

bool ReadClient::queryMode(uint8_t &mode)
{
    std::vector<uint8_t> answer;
    if (!request(framedRequest(ModeQueryRequest), 2))
        return fail("the mode query was not acknowledged");
    if (!response(kResponseTimeoutMs, answer))
        return fail("no answer to the mode query");
    if (!isFramed(answer, ModeReportResponse, 7))
        return fail("the answer to the mode query is not a mode report");
    if (answer[kLevelOffset] < kRequestLevel || answer[kLevelOffset] > kAlternateRequestLevel)
        return fail("the device speaks protocol level " + std::to_string(answer[kLevelOffset]) + ", not 2 or 3");
    mode = answer[kFramedFieldsOffset];
    return true;
}

bool ReadClient::connect(const std::string &port)
{
    close();
    if (sppInit(&handle_, sizeof handle_, port.c_str(), kSpeed38400) != 1)
        return fail("cannot set up the link for " + port);
    if (sppOpen(&handle_) != 1) {
        sppClose(&handle_);
        return fail("cannot open " + port);
    }
    open_ = true;
    if (sppConnect(&handle_, 1) != 1 && sppConnect(&handle_, 3) != 1)
        return fail("the device does not answer on " + port);
    uint8_t mode = 0;
    if (!queryMode(mode))
        return false;
    if (mode == kTransferMode)
        return true;
    std::vector<uint8_t> modeSwitch = framedRequest(ModeSwitchRequest);
    modeSwitch.push_back(kTransferMode);
    if (!request(modeSwitch, 2))
        return fail("the mode switch was not acknowledged");
    usleep(kModeChangeMicros);
    if (sppConnect(&handle_, 1) != 1)
        return fail("the device did not come back after the mode switch");
    return true;
}

bool ReadClient::readItem(uint8_t itemId, uint16_t selectionMask, const std::string &fileName,
                          std::vector<uint8_t> &data)
{
    data.clear();
    responses_ = 0;
    std::vector<uint8_t> read = framedRequest(ReadItemRequest);
    const size_t nameLength = std::min<size_t>(fileName.size(), 255);
    read.insert(read.end(), {itemId, kItemRequestConstant, static_cast<uint8_t>(selectionMask >> 8),
                             static_cast<uint8_t>(selectionMask), static_cast<uint8_t>(nameLength)});
    read.insert(read.end(), fileName.begin(), fileName.begin() + static_cast<std::ptrdiff_t>(nameLength));
    if (!request(read, 2))
        return fail("the read request was not acknowledged");
    uint16_t check = 0;
    for (;;) {
        std::vector<uint8_t> answer;
        if (!response(kResponseTimeoutMs, answer))
            return fail("the device stopped answering");
        if (isFramed(answer, ReadStartResponse, 10))
            continue; // read start: the total is only for progress
        if (answer.size() >= 2 && answer[0] == DataChunkResponse) {
            const size_t n = std::min<size_t>(answer[1], answer.size() - 2);
            check = runningCheck(check, answer.data() + 2, n);
            data.insert(data.end(), answer.begin() + 2, answer.begin() + 2 + static_cast<std::ptrdiff_t>(n));
            continue;
        }
        if (answer.size() >= 5 && answer[0] == ReadEndResponse) {
            if (answer.size() >= 7 && static_cast<uint16_t>(answer[5] << 8 | answer[6]) != check)
                return fail("Data corrupted during transfer.");
            return true;
        }
        if (!answer.empty() && answer[0] == RefusedResponse)
            return fail("the device refused the read");
        return fail("unexpected answer during the read");
    }
}

void ReadClient::close()
{
    if (!open_)
        return;
    sppRelease(&handle_);
    sppClose(&handle_);
    open_ = false;
}

} // namespace q57::sim
