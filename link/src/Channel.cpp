// SPDX-License-Identifier: MIT
#include "link/src/Channel.h"

#include <algorithm>

#include "link/src/SerialChannel.h"
#include "link/src/UdpChannel.h"

namespace spp {
bool channelRead(SppHandle &h, Transport transport, uint8_t *buffer, size_t count, size_t &got)
{
    if (transport == Transport::Udp)
        return udpRead(h, buffer, count, got);
    return serialRead(h, buffer, count, got);
}

bool channelWriteFrame(SppHandle &h, Transport transport, const uint8_t *frame, size_t length)
{
    if (transport == Transport::Udp)
        return udpWriteDatagram(h, frame, length);
    size_t written = 0;
    return serialWrite(h, frame, length, written) && written == length;
}

bool channelFlushInput(SppHandle &h, Transport transport)
{
    if (transport == Transport::Udp) {
        udpFlushInput(h);
        return true;
    }
    return serialFlushInput(h);
}

bool channelWaitReadable(SppHandle &h, Transport transport, int timeoutMs)
{
    if (transport == Transport::Udp)
        return udpWaitReadable(h, timeoutMs);
    return serialWaitReadable(h, std::min(timeoutMs, kSerialPollStepMs));
}

} // namespace spp
