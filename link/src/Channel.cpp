#include "link/src/Channel.h"

#include <algorithm>

#include "link/src/SerialChannel.h"
#include "link/src/UdpChannel.h"

namespace spp {
namespace {
constexpr int kSerialPollStepMs = 10;
}

bool channelReadByte(SppHandle &h, Transport transport, uint8_t &byte, bool &got)
{
    if (transport == Transport::Udp)
        return udpReadByte(h, byte, got);
    size_t count = 0;
    const bool ok = serialRead(h, &byte, 1, count);
    got = count == 1;
    return ok;
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

void channelWaitReadable(SppHandle &h, Transport transport, int timeoutMs)
{
    if (transport == Transport::Udp)
        udpWaitReadable(h, timeoutMs);
    else
        serialWaitReadable(h, std::min(timeoutMs, kSerialPollStepMs));
}

}  // namespace spp
