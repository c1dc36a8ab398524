// SPDX-License-Identifier: MIT
#include "sim/DeviceLink.h"

#include <algorithm>
#include <cstring>

namespace q57::sim {
namespace {

constexpr int kSignalBurst = 8; // boot signals, then attention bytes, after a reset

spp::LinkFrame frameOfKind(uint8_t kind)
{
    spp::LinkFrame frame{};
    frame.kind = kind;
    return frame;
}

} // namespace

DeviceLink::DeviceLink(uint8_t protocol, bool datagram, const FaultPlan &faults, LinePacer &pacer, FrameTrace &trace)
    : protocol_(protocol), faults_(faults), pacer_(pacer), trace_(trace)
{
    parse_.version = protocol == 3 ? spp::ProtocolVersion::V3 : spp::ProtocolVersion::V4;
    parse_.check = datagram && protocol == 4 ? spp::CheckMode::Unchecked : spp::CheckMode::Computed;
    parse_.side = spp::LinkSide::Device;
}

void DeviceLink::bytesArrived(const std::vector<uint8_t> &bytes, Micros now)
{
    now_ = now;
    received_.insert(received_.end(), bytes.begin(), bytes.end());
    size_t start = 0;
    while (start < received_.size()) {
        spp::LinkFrame frame;
        const spp::ParseResult result =
            spp::parseFrame(received_.data() + start, received_.size() - start, parse_, frame);
        if (result.verdict == spp::SPP_RF_FRAME) {
            handleFrame(frame, received_.data() + start, result.consumed);
            start += result.consumed;
            if (dropReceived_) {
                // The device has left the link: whatever else came is lost.
                dropReceived_ = false;
                received_.clear();
                return;
            }
        } else if (result.verdict == spp::SPP_RF_BAD || received_.size() - start >= spp::kMaxFrameSize) {
            wakeUps_ = 0;
            start += 1; // garbage costs one byte; so does a "frame" that can never complete
        } else {
            break;
        }
    }
    received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(start));
}

void DeviceLink::handleFrame(const spp::LinkFrame &frame, const uint8_t *wire, size_t length)
{
    const char *note = nullptr;
    trace_.hold();
    if (now_ < ignoreUntil_) {
        note = "ignored";
    } else {
        switch (frame.kind) {
        case spp::AttentionToDevice: ++wakeUps_; break;
        case spp::Connect: handleConnect(frame, note); break;
        case spp::Release:
        case spp::Configure:
            if (!connected_) {
                note = "unconnected";
            } else if (!acknowledge(frame.sequence, false)) {
                note = "ack-dropped";
            } else if (frame.kind == spp::Release) {
                connected_ = false;
                discardOutgoing();
                if (listener_ != nullptr)
                    listener_->linkDropped();
            }
            break;
        case spp::Reset: handleReset(); break;
        case spp::Acknowledge:
            if (inFlight_ && frame.sequence == inFlight_->frame.sequence) {
                inFlight_.reset();
                ++txSequence_;
                startNext();
            } else {
                note = "unexpected";
            }
            break;
        case spp::Data: handleData(frame, note); break;
        default: note = "unexpected"; break;
        }
        if (frame.kind != spp::AttentionToDevice)
            wakeUps_ = 0;
    }
    trace_.frame(false, protocol_, frame, wire, length, note);
    trace_.release();
}

void DeviceLink::handleConnect(const spp::LinkFrame &frame, const char *&note)
{
    if (protocol_ == 3 && wakeUps_ < kV3WakeUpBytes) {
        note = "asleep";
        return;
    }
    connected_ = true;
    txSequence_ = 0;
    acceptedSinceConnect_ = false;
    discardOutgoing();
    if (listener_ != nullptr)
        listener_->linkConnected();
    if (!acknowledge(frame.sequence, false))
        note = "ack-dropped";
}

void DeviceLink::handleData(const spp::LinkFrame &frame, const char *&note)
{
    if (!connected_) {
        note = "unconnected";
        return;
    }
    const bool repeat = acceptedSinceConnect_ && static_cast<uint8_t>(frame.sequence + 1) == rxSequence_;
    if (!acknowledge(frame.sequence, repeat))
        note = "ack-dropped";
    else if (repeat)
        note = "repeat";
    if (repeat)
        return;
    rxSequence_ = static_cast<uint8_t>(frame.sequence + 1);
    acceptedSinceConnect_ = true;
    if (frame.channel == kSessionChannel && listener_ != nullptr)
        listener_->requestReceived(frame.payload, frame.length);
}

void DeviceLink::handleReset()
{
    // The device restarts: the connection is gone, and it announces its boot
    // loader and then its application, as the host's reset waits expect.
    const bool wasConnected = connected_;
    connected_ = false;
    discardOutgoing();
    if (wasConnected && listener_ != nullptr)
        listener_->linkDropped();
    for (int i = 0; i < kSignalBurst; ++i)
        emit(frameOfKind(spp::BootSignal));
    for (int i = 0; i < kSignalBurst; ++i)
        emit(frameOfKind(spp::AttentionFromDevice));
}

bool DeviceLink::acknowledge(uint8_t sequence, bool repeat)
{
    ++acknowledgementsDue_;
    if (faults_.dropAckEvery != 0 && acknowledgementsDue_ % faults_.dropAckEvery == 0)
        return false;
    spp::LinkFrame ack = frameOfKind(spp::Acknowledge);
    ack.sequence = sequence;
    ack.length = 1;
    ack.status = repeat ? 1 : 0;
    emit(ack);
    return true;
}

void DeviceLink::sendData(std::vector<uint8_t> payload)
{
    if (!connected_)
        return;
    outgoing_.push_back(std::move(payload));
    startNext();
}

void DeviceLink::startNext()
{
    if (inFlight_ || outgoing_.empty())
        return;
    InFlight next;
    next.frame = frameOfKind(spp::Data);
    next.frame.channel = kSessionChannel;
    next.frame.sequence = txSequence_;
    const std::vector<uint8_t> &payload = outgoing_.front();
    next.frame.length = static_cast<uint16_t>(std::min(payload.size(), sizeof next.frame.payload));
    std::memcpy(next.frame.payload, payload.data(), next.frame.length);
    outgoing_.pop_front();
    next.tries = 1;
    next.deadline = now_ + kRepeatAfter;
    inFlight_ = next;
    emit(inFlight_->frame);
}

void DeviceLink::timePassed(Micros now)
{
    now_ = now;
    if (!inFlight_ || now < inFlight_->deadline)
        return;
    if (inFlight_->tries < kTries) {
        ++inFlight_->tries;
        inFlight_->deadline = now + kRepeatAfter;
        emit(inFlight_->frame, "repeat");
        return;
    }
    // The host has stopped listening: give the exchange up.
    discardOutgoing();
}

Micros DeviceLink::nextDeadline() const
{
    return inFlight_ ? inFlight_->deadline : kNever;
}

void DeviceLink::discardOutgoing()
{
    outgoing_.clear();
    if (inFlight_) {
        // The host may have taken the frame without its acknowledgement
        // reaching us: a fresh number keeps the next frame from looking like a repeat.
        inFlight_.reset();
        ++txSequence_;
    }
}

void DeviceLink::dropLink(Micros quietTime)
{
    connected_ = false;
    discardOutgoing();
    dropReceived_ = true;
    ignoreUntil_ = now_ + quietTime;
}

void DeviceLink::damage(std::vector<uint8_t> &wire) const
{
    // The check value guards every byte on the serial line, so a flipped
    // check byte is enough there; unchecked UDP frames lose their header instead.
    if (wire.size() > 1 && parse_.check == spp::CheckMode::Computed)
        wire.back() ^= 0xFF;
    else
        wire.front() ^= 0x30;
}

bool DeviceLink::silence(std::vector<uint8_t> &bytes)
{
    if (!faults_.silentAfterSet)
        return false;
    const uint64_t room = faults_.silentAfter - std::min(faults_.silentAfter, bytesSent_);
    if (room >= bytes.size())
        return false;
    bytes.resize(room);
    return true;
}

void DeviceLink::queue(std::vector<uint8_t> bytes)
{
    bytesSent_ += bytes.size();
    if (!bytes.empty())
        pacer_.queueOutgoing(std::move(bytes), now_);
}

void DeviceLink::emit(const spp::LinkFrame &frame, const char *note)
{
    uint8_t bytes[spp::kMaxFrameSize];
    const size_t length = spp::buildFrame(frame, parse_.version, parse_.check, bytes, sizeof bytes);
    if (length == 0)
        return;
    if (faults_.garbageBetweenFrames) {
        std::vector<uint8_t> garbage(std::begin(kGarbageBytes), std::end(kGarbageBytes));
        silence(garbage);
        if (!garbage.empty())
            trace_.garbage(protocol_, garbage.data(), garbage.size());
        queue(std::move(garbage));
    }
    std::vector<uint8_t> wire(bytes, bytes + length);
    ++framesSent_;
    if (faults_.corruptEvery != 0 && framesSent_ % faults_.corruptEvery == 0) {
        damage(wire);
        note = "corrupted";
    }
    if (silence(wire))
        note = "silenced";
    trace_.frame(true, protocol_, frame, wire.data(), wire.size(), note);
    queue(std::move(wire));
}

} // namespace q57::sim
