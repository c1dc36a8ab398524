// SPDX-License-Identifier: MIT
// The device's end of the frame protocol: it takes the host's frames off the
// line, acknowledges them (repeats flagged, and not passed on twice), numbers
// its own data frames one up modulo 256, sends them one at a time and repeats
// each until the host acknowledges it. Session requests on channel 5 go to a
// LinkListener; the answers come back through sendData.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "link/codec/FrameCodec.h"
#include "sim/FaultPlan.h"
#include "sim/FrameTrace.h"
#include "sim/LinePacer.h"
#include "sim/SimClock.h"

namespace q57::sim {

class LinkListener {
public:
    virtual ~LinkListener() = default;
    virtual void linkConnected() = 0;
    virtual void linkDropped() = 0;
    virtual void requestReceived(const uint8_t *payload, size_t length) = 0;
};

constexpr uint8_t kSessionChannel = 5;

class DeviceLink {
public:
    // How long the device waits for the acknowledgement of its own frame, and
    // how many tries it makes before it gives the frame up.
    static constexpr Micros kRepeatAfter = 1000 * 1000;
    static constexpr int kTries = 5;
    // A v3 device wakes up only after this many attention bytes in a row.
    static constexpr int kV3WakeUpBytes = 100;

    DeviceLink(uint8_t protocol, bool datagram, const FaultPlan &faults, LinePacer &pacer, FrameTrace &trace);

    void setListener(LinkListener *listener) { listener_ = listener; }

    // Bytes that have arrived on the line.
    void bytesArrived(const std::vector<uint8_t> &bytes, Micros now);
    // Repeats a frame whose acknowledgement is overdue.
    void timePassed(Micros now);
    // When timePassed next has something to do.
    Micros nextDeadline() const;

    // Queues one data frame on the session channel behind those not yet acknowledged.
    void sendData(std::vector<uint8_t> payload);
    // Forgets every answer not yet acknowledged (an aborted exchange).
    void discardOutgoing();
    // Forgets the connection and ignores every frame for quietTime (a mode change).
    void dropLink(Micros quietTime);

    bool connected() const { return connected_; }

private:
    struct InFlight {
        spp::LinkFrame frame;
        int tries = 0;
        Micros deadline = 0;
    };

    void handleFrame(const spp::LinkFrame &frame, const uint8_t *wire, size_t length);
    void handleConnect(const spp::LinkFrame &frame, const char *&note);
    void handleData(const spp::LinkFrame &frame, const char *&note);
    void handleReset();
    // False when the fault plan swallows this acknowledgement.
    bool acknowledge(uint8_t sequence, bool repeat);
    void startNext();
    void emit(const spp::LinkFrame &frame, const char *note = nullptr);
    // Cuts bytes to what may still go out under --silent-after; true when cut.
    bool silence(std::vector<uint8_t> &bytes);
    void queue(std::vector<uint8_t> bytes);
    void damage(std::vector<uint8_t> &wire) const;

    uint8_t protocol_;
    spp::ParseOptions parse_;
    const FaultPlan &faults_;
    LinePacer &pacer_;
    FrameTrace &trace_;
    LinkListener *listener_ = nullptr;

    Micros now_ = 0;
    std::vector<uint8_t> received_;
    bool dropReceived_ = false; // set while a frame is handled: forget the rest
    bool connected_ = false;
    Micros ignoreUntil_ = 0;
    int wakeUps_ = 0;
    uint8_t txSequence_ = 0;
    uint8_t rxSequence_ = 0;
    bool acceptedSinceConnect_ = false;
    std::deque<std::vector<uint8_t>> outgoing_;
    std::optional<InFlight> inFlight_;
    uint64_t acknowledgementsDue_ = 0;
    uint64_t framesSent_ = 0;
    uint64_t bytesSent_ = 0;
};

} // namespace q57::sim
