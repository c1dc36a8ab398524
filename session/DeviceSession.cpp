// SPDX-License-Identifier: MIT
#include "DeviceSession.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "app/AppSettings.h"
#include "app/DataItem.h"
#include "app/ItemCatalogue.h"
#include "app/JobFlags.h"
#include "app/StatusLog.h"
#include "app/UserInteraction.h"
#include "formats/FormatContext.h"
#include "link/include/spp.h"
#include "session/PortAccessHint.h"

namespace q57 {

namespace {

constexpr uint16_t kLinkSpeedCode = 2; // 38400 baud
constexpr int kOpenTries = 5;
constexpr uint8_t kHandshakeTries = 2;

} // namespace

DeviceSession::DeviceSession(AppSettings &settings, ItemCatalogue &catalogue, FormatContext &formats,
                             UserInteraction &ui)
    : settings_(settings), catalogue_(catalogue), formats_(formats), flags_(settings.runtime.jobFlags),
      log_(settings.runtime.statusLog), ui_(ui)
{
}

DeviceSession::~DeviceSession()
{
    closeDeviceLink();
}

void DeviceSession::setPortOverride(std::optional<PortChoice> port)
{
    portOverride_ = std::move(port);
}

void DeviceSession::setDeviceFileName(const std::string &name)
{
    // The device takes a NUL-terminated name: nothing after a NUL reaches it.
    deviceFileName_ = name.substr(0, std::min(name.find('\0'), kMaxDeviceFileName));
}

bool DeviceSession::deviceLevelTwo() const
{
    return formats_.deviceLevelTwo;
}

SppHandle *DeviceSession::handle()
{
    return &link_.handle;
}

PortChoice DeviceSession::portChoice() const
{
    return portOverride_.value_or(settings_.stored.port);
}

void DeviceSession::sleepMs(unsigned milliseconds) const
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool DeviceSession::openDeviceLink()
{
    ui_.statusNotice(StatusConnecting);
    closeDeviceLink(); // a link left open by an earlier run would lose its port here
    const PortChoice port = portChoice();
    if (!sppInit(handle(), sizeof link_, port.linkPortName().c_str(), kLinkSpeedCode)) {
        showMessage(ui_, "Serial Port Error: Unable to configure port.");
        return false;
    }
    if (!openPort()) {
        // Logged first, so the log already says why when the message box appears.
        if (const std::string hint = portAccessHint(port); !hint.empty())
            log_.logText(hint);
        showMessage(ui_, "Serial Port Error: Unable to open port.");
        return false;
    }
    if (!connectLink()) {
        closeDeviceLink();
        showMessage(ui_, "Serial Port Error: Unable to connect to device.");
        return false;
    }
    return true;
}

// A port that is busy for a moment gets a few more chances.
bool DeviceSession::openPort()
{
    for (int attempt = 0; attempt < kOpenTries; ++attempt) {
        if (sppOpen(handle())) {
            linkOpen_ = true;
            return true;
        }
        // A failed open may leave the port half set up: undo it before the next try.
        sppRelease(handle());
        sppClose(handle());
        sleepMs(timing_.openRetryPause);
    }
    return false;
}

// One quick try first; a device that missed it gets three more in each protocol.
bool DeviceSession::connectLink()
{
    if (sppConnect(handle(), 1))
        return true;
    sppRelease(handle());
    return sppConnect(handle(), 3) != 0;
}

bool DeviceSession::handshakeDevice()
{
    RequestFields query;
    query.level = alternateHandshake_ ? kAlternateRequestLevel : kRequestLevel;
    if (!sendRequest(ModeQueryRequest, query, kHandshakeTries)) {
        showMessage(ui_, "Failed communication with device. [1]");
        return false;
    }
    if (!receiveResponse(timing_.modeReportWait)) {
        showMessage(ui_, "Failed communication with device. [2]");
        return false;
    }
    const SessionResponse report = parseReceived();
    if (report.code != ModeReportResponse)
        return false;
    if (report.value == kTransferMode)
        return true;

    if (!sendRequest(ModeSwitchRequest, RequestFields{}, kHandshakeTries)) {
        showMessage(ui_, "Failed resetting device");
        return false;
    }
    // The device drops the link while it changes mode; connect afresh.
    sleepMs(timing_.modeSwitchPause);
    if (!sppConnect(handle(), 1)) {
        showMessage(ui_, "Could not connect to device.");
        return false;
    }
    return true;
}

bool DeviceSession::connectDevice()
{
    if (!openDeviceLink())
        return false;
    if (handshakeDevice())
        return true;
    // Some devices answer only a query at the alternate level; once one has,
    // every later job starts at that level.
    alternateHandshake_ = true;
    if (handshakeDevice())
        return true;
    alternateHandshake_ = false;
    return false;
}

void DeviceSession::closeDeviceLink()
{
    if (!linkOpen_)
        return;
    linkOpen_ = false;
    sppRelease(handle());
    sppClose(handle());
}

void DeviceSession::abandonLink()
{
    // Not sppClose: the job's thread may be inside sppInit or sppOpen on the
    // same handle, and linkOpen_ is that thread's. sppAbandon gives the port
    // its settings back only once it is fully open, and leaves the descriptor
    // to the end of the process.
    sppAbandon(handle());
}

bool DeviceSession::sendRequest(RequestCode code, const RequestFields &fields, uint8_t tries)
{
    const size_t length = buildRequest(buffer_, code, fields);
    return sppSend(handle(), kSessionChannel, buffer_.data(), static_cast<uint16_t>(length), tries) != 0;
}

bool DeviceSession::receiveResponse(uint16_t timeoutMs)
{
    uint16_t received = 0;
    const bool ok = sppReceive(handle(), kSessionChannel, timeoutMs, buffer_.data(),
                               static_cast<uint16_t>(buffer_.size()), &received) != 0;
    responseLength_ = ok ? received : 0;
    return ok;
}

SessionResponse DeviceSession::parseReceived()
{
    const SessionResponse response = parseResponse(buffer_.data(), responseLength_, ui_);
    if (response.levelTwo)
        formats_.deviceLevelTwo = *response.levelTwo;
    return response;
}

void DeviceSession::sendProgress(const DataItem &item, uint64_t percent)
{
    // The notice carries the low byte of the percentage, as the window expects.
    ui_.progressNotice(item.deviceItemId, static_cast<uint8_t>(percent));
}

} // namespace q57
