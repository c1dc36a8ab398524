// SPDX-License-Identifier: MIT
#include "link/src/Protocol.h"

#include <algorithm>
#include <cstring>

#include "link/src/Clock.h"

namespace spp {
namespace {

constexpr int kAttentionPauseMs = 10;
constexpr int kV3WakeUpBytes = 130;

// Status frame codes that answer an acknowledged frame.
constexpr uint8_t kStatusResync = 1;
constexpr uint8_t kStatusRetry = 2;
bool statusFailsSend(uint8_t code)
{
    return code == 0 || code == 3 || code == 4 || code == 6;
}

void dropReceived(SppProtocolState &state, size_t count)
{
    std::memmove(state.rxBuffer, state.rxBuffer + count, state.rxLength - count);
    state.rxLength = static_cast<uint16_t>(state.rxLength - count);
}

LinkFrame frameOfKind(FrameKind kind)
{
    LinkFrame frame{};
    frame.kind = kind;
    return frame;
}

// What a status frame answering txFrame means for the current try.
enum class StatusAction { KeepWaiting, NextTry, Fail };

StatusAction actOnStatus(SppProtocolState &state, const LinkFrame &frame)
{
    if (frame.status == kStatusResync) {
        state.txSequence = frame.statusValue;
        return StatusAction::NextTry;
    }
    if (frame.status == kStatusRetry)
        return StatusAction::NextTry;
    if (statusFailsSend(frame.status)) {
        ++state.txSequence;
        return StatusAction::Fail;
    }
    return StatusAction::KeepWaiting;
}

} // namespace

Link linkFor(SppHandle &h, ProtocolVersion version)
{
    if (version == ProtocolVersion::V3)
        return {h, h.v3State, version, Transport::Serial, CheckMode::Computed};
    const auto transport = h.transport == SPP_TRANSPORT_SERIAL ? Transport::Serial : Transport::Udp;
    return {h, h.v4State, version, transport, transport == Transport::Udp ? CheckMode::Unchecked : CheckMode::Computed};
}

bool sendFrame(Link &link, const LinkFrame &frame)
{
    if (frame.kind == BootSignal || frame.kind == AttentionFromDevice)
        return false;
    if (link.version == ProtocolVersion::V3 && (frame.kind == Reset || frame.kind == Configure))
        return false;
    uint8_t bytes[kMaxFrameSize];
    const size_t length = buildFrame(frame, link.version, link.check, bytes, sizeof bytes);
    if (length == 0)
        return false;
    if (!channelWriteFrame(link.handle, link.transport, bytes, length)) {
        link.channelFailed = true;
        return false;
    }
    return true;
}

// Reads no further than the frame being completed: bytes of the next frame
// stay with the channel, where a flush can still discard them. false when the
// channel failed; got tells how many bytes came.
bool readMore(Link &link, size_t wanted, size_t &got)
{
    SppProtocolState &state = link.state;
    if (state.rxLength == sizeof state.rxBuffer)
        dropReceived(state, 1); // no valid frame is longer, so the oldest byte goes
    const size_t room = sizeof state.rxBuffer - state.rxLength;
    got = 0;
    const bool ok =
        channelRead(link.handle, link.transport, state.rxBuffer + state.rxLength, std::min(wanted, room), got);
    state.rxLength = static_cast<uint16_t>(state.rxLength + got);
    return ok;
}

Receipt receiveFrame(Link &link, LinkFrame &frame)
{
    const ParseOptions options{link.version, link.check, LinkSide::Host};
    bool readSome = false;
    for (;;) {
        const ParseResult result = parseFrame(link.state.rxBuffer, link.state.rxLength, options, frame);
        if (result.verdict == SPP_RF_FRAME) {
            dropReceived(link.state, result.consumed);
            link.inFlight = 0;
            return Receipt::Frame;
        }
        if (result.verdict == SPP_RF_BAD) {
            dropReceived(link.state, result.consumed);
            continue;
        }
        const size_t missing = result.needed - link.state.rxLength;
        size_t got = 0;
        if (!readMore(link, missing, got)) {
            link.inFlight = 0;
            link.channelFailed = true;
            return Receipt::Failed;
        }
        if (got == 0) {
            link.inFlight = readSome ? missing : 0;
            return Receipt::Nothing;
        }
        readSome = true;
    }
}

bool waitForInput(Link &link, int remainingMs)
{
    const uint32_t baud = link.handle.baudRate;
    if (link.transport == Transport::Serial && link.inFlight > 0 && baud > 0) {
        // The rest cannot arrive sooner than its wire time (10 bits a byte).
        const uint64_t restUs = uint64_t{link.inFlight} * 10u * 1000000u / baud;
        const uint64_t capUs = uint64_t(std::clamp(remainingMs, 1, kSerialPollStepMs)) * 1000u;
        sleepUs(std::min(restUs, capUs));
        return true;
    }
    if (channelWaitReadable(link.handle, link.transport, remainingMs))
        return true;
    link.channelFailed = true;
    return false;
}

// The next frame before the deadline: Frame, or Failed when the channel
// failed, or Nothing when the deadline passed first.
Receipt nextFrame(Link &link, const Deadline &deadline, LinkFrame &frame)
{
    while (!deadline.passed()) {
        const Receipt receipt = receiveFrame(link, frame);
        if (receipt != Receipt::Nothing)
            return receipt;
        if (!waitForInput(link, deadline.remainingMs()))
            return Receipt::Failed;
    }
    return Receipt::Nothing;
}

bool sendAttention(Link &link)
{
    sleepMs(kAttentionPauseMs);
    const bool sent = sendFrame(link, frameOfKind(AttentionToDevice));
    sleepMs(kAttentionPauseMs);
    return sent;
}

bool sendAcknowledged(Link &link, uint8_t tries, int timeoutMs)
{
    SppProtocolState &state = link.state;
    state.tryLimit = tries;
    state.tryCount = 0;
    state.txFrame.sequence = state.txSequence; // every retry repeats it
    state.rxLength = 0;
    channelFlushInput(link.handle, link.transport);

    while (state.tryCount < state.tryLimit) {
        ++state.tryCount;
        if (!sendFrame(link, state.txFrame))
            return false;
        const Deadline deadline(timeoutMs);
        bool waiting = true;
        while (waiting) {
            LinkFrame answer;
            const Receipt receipt = nextFrame(link, deadline, answer);
            if (receipt == Receipt::Failed)
                return false;
            if (receipt == Receipt::Nothing)
                break; // this try timed out
            if (answer.sequence != state.txSequence)
                continue;
            if (answer.kind == Acknowledge) {
                ++state.txSequence;
                return true;
            }
            if (answer.kind == Status) {
                const StatusAction action = actOnStatus(state, answer);
                if (action == StatusAction::Fail)
                    return false;
                waiting = action == StatusAction::KeepWaiting;
            }
        }
    }
    return false;
}

bool sendAcknowledge(Link &link, uint8_t sequence, bool repeat)
{
    LinkFrame acknowledge = frameOfKind(Acknowledge);
    acknowledge.sequence = sequence;
    acknowledge.length = 1;
    acknowledge.status = repeat ? 1 : 0;
    return sendFrame(link, acknowledge);
}

bool receiveData(Link &link, uint8_t channel, int timeoutMs, uint8_t *destination, uint16_t &length)
{
    const Deadline deadline(timeoutMs);
    for (;;) {
        LinkFrame frame;
        if (nextFrame(link, deadline, frame) != Receipt::Frame)
            return false;
        if (frame.kind != Data)
            continue;
        const uint8_t next = static_cast<uint8_t>(frame.sequence + 1);
        if (next == link.state.rxSequence) {
            sendAcknowledge(link, frame.sequence, true);
            continue;
        }
        sendAcknowledge(link, frame.sequence, false);
        link.state.rxSequence = next;
        if (frame.channel == channel) {
            std::memcpy(destination, frame.payload, frame.length);
            length = frame.length;
            return true;
        }
    }
}

bool waitSignals(Link &link, int timeoutMs, FrameKind kind, uint8_t channel, int count)
{
    int counter = 0;
    const Deadline deadline(timeoutMs);
    while (counter < count) {
        LinkFrame frame;
        if (nextFrame(link, deadline, frame) != Receipt::Frame)
            return false;
        if (frame.kind == Data ? frame.channel == channel : frame.kind == kind)
            ++counter;
    }
    return true;
}

bool connectLink(Link &link)
{
    if (!sendAttention(link))
        return false;
    if (link.version == ProtocolVersion::V3) {
        for (int i = 0; i < kV3WakeUpBytes; ++i)
            if (!sendFrame(link, frameOfKind(AttentionToDevice)))
                return false;
    }
    sleepMs(kAttentionPauseMs);

    SppProtocolState &state = link.state;
    const uint8_t previousSequence = state.txSequence;
    state.txSequence = 0;
    state.txFrame = frameOfKind(Connect);
    if (!sendAcknowledged(link, 1, kControlTimeoutMs)) {
        state.txSequence = previousSequence;
        return false;
    }
    state.txSequence = 1;
    state.rxSequence = 0;
    return true;
}

} // namespace spp
