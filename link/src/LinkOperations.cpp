// SPDX-License-Identifier: MIT
// The exported spp functions.
#include <arpa/inet.h>

#include <cstddef>
#include <cstring>

#include "link/include/spp.h"
#include "link/src/Clock.h"
#include "link/src/PortNames.h"
#include "link/src/Protocol.h"
#include "link/src/SerialChannel.h"
#include "link/src/UdpChannel.h"

using namespace spp;

namespace {

constexpr int kConnectRetryPauseMs = 50;
constexpr int kSignalCount = 8;

// Set up by sppInit, and not given up by sppAbandon.
bool valid(const SppHandle *h)
{
    return h != nullptr && h->magic == SPP_MAGIC && !portAbandoned(*h);
}

bool isSerial(const SppHandle &h)
{
    return h.transport == SPP_TRANSPORT_SERIAL;
}

// Closes the port or socket of a handle that sppInit set up. Result as sppClose's.
uint16_t closeTransport(SppHandle &h)
{
    if (isSerial(h))
        return serialClose(h) ? 1 : 0;
    udpClose(h);
    return 1;
}

ProtocolVersion activeVersion(const SppHandle &h)
{
    return h.activeProtocol == SPP_PROTOCOL_V3 ? ProtocolVersion::V3 : ProtocolVersion::V4;
}

Link activeLink(SppHandle &h)
{
    return linkFor(h, activeVersion(h));
}

enum class Outcome { Connected, NoAnswer, ChannelFailed };

// Tries connectLink on one protocol up to tries times, pausing after each
// failure; stops at once when the channel fails (a broken port, a socket
// that is not open, v3's serial writes on a UDP handle).
Outcome connectWith(SppHandle &h, ProtocolVersion version, uint8_t tries)
{
    Link link = linkFor(h, version);
    for (unsigned attempt = 0; attempt < tries; ++attempt) {
        if (connectLink(link))
            return Outcome::Connected;
        if (link.channelFailed)
            return Outcome::ChannelFailed;
        sleepMs(kConnectRetryPauseMs);
    }
    return Outcome::NoAnswer;
}

// sendAttention, then txFrame under acknowledgement.
uint16_t sendControl(SppHandle &h, const LinkFrame &frame)
{
    Link link = activeLink(h);
    if (!sendAttention(link))
        return 0;
    link.state.txFrame = frame;
    return sendAcknowledged(link, 1, kControlTimeoutMs) ? 1 : 0;
}

uint16_t waitForSignals(SppHandle *h, uint16_t timeoutMs, FrameKind kind)
{
    if (!valid(h))
        return 0;
    Link link = activeLink(*h);
    return waitSignals(link, timeoutMs, kind, 0, kSignalCount) ? 1 : 0;
}

} // namespace

extern "C" {

SPP_API uint16_t sppInit(SppHandle *h, uint16_t size, const char *port, uint16_t speedCode)
{
    if (h == nullptr || port == nullptr || size < SPP_HANDLE_SIZE)
        return 0;
    // A handle set up before and still open: its port or socket would leak.
    if (valid(h) && (h->portFd >= 0 || h->socket >= 0))
        closeTransport(*h);
    // A port that sppAbandon took, before or during that close, is its own now:
    // another thread may be reading the handle, which therefore stays as it is.
    if (h->magic == SPP_MAGIC && portAbandoned(*h))
        return 0;
    std::memset(h, 0, offsetof(SppHandle, portState));
    clearPortState(*h);
    h->reserved = 0;
    h->portFd = -1;
    h->socket = -1;
    if (isSerialPortName(port)) {
        h->transport = SPP_TRANSPORT_SERIAL;
        std::strncpy(h->portName, port, sizeof h->portName - 1);
        h->baudRate = baudForSpeedCode(speedCode);
    } else {
        h->transport = SPP_TRANSPORT_UDP;
        h->peerAddress = inet_addr(port);
        udpResetBuffer();
    }
    h->activeProtocol = SPP_PROTOCOL_V4;
    h->magic = SPP_MAGIC;
    return 1;
}

SPP_API uint16_t sppOpen(SppHandle *h)
{
    if (!valid(h))
        return 0;
    return (isSerial(*h) ? serialOpen(*h) : udpOpen(*h)) ? 1 : 0;
}

SPP_API uint16_t sppClose(SppHandle *h)
{
    if (!valid(h))
        return 0;
    return closeTransport(*h);
}

SPP_API uint16_t sppAbandon(SppHandle *h)
{
    // No other field may be looked at before the port is taken: the handle's
    // own thread may be writing them.
    if (h == nullptr || !serialAbandon(*h))
        return 0;
    return 1;
}

SPP_API uint16_t sppFlushRx(SppHandle *h)
{
    if (!valid(h))
        return 0;
    return channelFlushInput(*h, isSerial(*h) ? Transport::Serial : Transport::Udp) ? 1 : 0;
}

SPP_API uint16_t sppCommRead(SppHandle *h, uint8_t *buffer, uint16_t count, uint32_t *bytesRead)
{
    if (!valid(h) || buffer == nullptr || bytesRead == nullptr)
        return 0;
    size_t read = 0;
    bool ok = serialRead(*h, buffer, count, read);
    // Nothing read: an empty port, or one that hung up and reads empty for good.
    if (ok && read == 0 && count > 0 && serialHungUp(*h))
        ok = false;
    *bytesRead = static_cast<uint32_t>(read);
    return ok ? 1 : 0;
}

SPP_API uint16_t sppCommWrite(SppHandle *h, const uint8_t *data, uint16_t count, uint32_t *bytesWritten)
{
    if (!valid(h) || data == nullptr || bytesWritten == nullptr)
        return 0;
    size_t written = 0;
    const bool ok = serialWrite(*h, data, count, written);
    *bytesWritten = static_cast<uint32_t>(written);
    return ok ? 1 : 0;
}

SPP_API uint16_t sppConnect(SppHandle *h, uint8_t tries)
{
    if (!valid(h))
        return 0;
    const Outcome v4 = connectWith(*h, ProtocolVersion::V4, tries);
    if (v4 == Outcome::Connected) {
        h->activeProtocol = SPP_PROTOCOL_V4;
        return 1;
    }
    // A failed serial port fails v3 as well; on UDP, v3 fails at its first write.
    if (v4 == Outcome::ChannelFailed)
        return 0;
    if (connectWith(*h, ProtocolVersion::V3, tries) == Outcome::Connected) {
        h->activeProtocol = SPP_PROTOCOL_V3;
        return 1;
    }
    return 0;
}

SPP_API uint16_t sppRelease(SppHandle *h)
{
    if (!valid(h))
        return 0;
    LinkFrame release{};
    release.kind = Release;
    return sendControl(*h, release);
}

SPP_API uint16_t sppReset(SppHandle *h)
{
    if (!valid(h) || activeVersion(*h) != ProtocolVersion::V4)
        return 0;
    Link link = activeLink(*h);
    if (!sendAttention(link))
        return 0;
    LinkFrame reset{};
    reset.kind = Reset;
    reset.length = sizeof kResetPayload;
    std::memcpy(reset.payload, kResetPayload, sizeof kResetPayload);
    return sendFrame(link, reset) ? 1 : 0;
}

SPP_API uint16_t sppConfig(SppHandle *h, uint8_t value)
{
    if (!valid(h) || activeVersion(*h) != ProtocolVersion::V4)
        return 0;
    LinkFrame configure{};
    configure.kind = Configure;
    configure.length = 1;
    configure.payload[0] = value;
    return sendControl(*h, configure);
}

SPP_API uint16_t sppSend(SppHandle *h, uint16_t channel, const uint8_t *data, uint16_t length, uint8_t tries)
{
    if (!valid(h) || channel >= kChannelCount || (data == nullptr && length > 0))
        return 0;
    // Refused before anything is written: a longer payload cannot be framed.
    if (length > maxPayload(activeVersion(*h)))
        return 0;
    Link link = activeLink(*h);
    if (!sendAttention(link))
        return 0;
    LinkFrame &frame = link.state.txFrame;
    frame = LinkFrame{};
    frame.kind = Data;
    frame.channel = static_cast<uint8_t>(channel);
    frame.length = length;
    if (length > 0)
        std::memcpy(frame.payload, data, length);
    return sendAcknowledged(link, tries, kDataTimeoutMs) ? 1 : 0;
}

SPP_API uint16_t sppReceive(SppHandle *h, uint16_t channel, uint16_t timeoutMs, uint8_t *buffer, uint16_t capacity,
                            uint16_t *receivedLength)
{
    if (!valid(h) || receivedLength == nullptr)
        return 0;
    *receivedLength = 0;
    if (channel >= kChannelCount || (buffer == nullptr && capacity > 0))
        return 0;
    Link link = activeLink(*h);
    uint8_t payload[SPP_MAX_FRAME];
    uint16_t length = 0;
    if (!receiveData(link, static_cast<uint8_t>(channel), timeoutMs, payload, length))
        return 0;
    const uint16_t copied = length < capacity ? length : capacity;
    if (copied > 0)
        std::memcpy(buffer, payload, copied);
    *receivedLength = copied;
    return 1;
}

SPP_API uint16_t sppWaitResetBoot(SppHandle *h, uint16_t timeoutMs)
{
    return waitForSignals(h, timeoutMs, BootSignal);
}

SPP_API uint16_t sppWaitResetApp(SppHandle *h, uint16_t timeoutMs)
{
    return waitForSignals(h, timeoutMs, AttentionFromDevice);
}

} // extern "C"
