#include "link/src/UdpChannel.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "link/src/Clock.h"

namespace spp {
namespace {

// The handle's layout is fixed by the library's callers and has no room for
// a datagram, so the last datagram received lives here, shared by every UDP
// handle of the process (one may be in use at a time).
struct DatagramBuffer {
    uint8_t bytes[2048];
    uint16_t position;
    uint16_t count;
};
DatagramBuffer datagram;

// Stop a flood of datagrams from holding a flush forever.
constexpr int kMaxDatagramsPerFlush = 256;

sockaddr_in deviceAddress(const SppHandle &h)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(SPP_UDP_PORT);
    address.sin_addr.s_addr = h.peerAddress;
    return address;
}

enum class Receive { Nothing, Foreign, Datagram, Failed };

Receive receiveDatagram(SppHandle &h)
{
    sockaddr_in source{};
    socklen_t sourceLength = sizeof source;
    const ssize_t n = recvfrom(h.socket, datagram.bytes, sizeof datagram.bytes, MSG_DONTWAIT,
                               reinterpret_cast<sockaddr *>(&source), &sourceLength);
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? Receive::Nothing : Receive::Failed;
    if (source.sin_family != AF_INET || source.sin_addr.s_addr != h.peerAddress)
        return Receive::Foreign;  // any host could otherwise inject frames
    datagram.position = 0;
    datagram.count = static_cast<uint16_t>(n);
    return Receive::Datagram;
}

}  // namespace

void udpResetBuffer()
{
    datagram.position = 0;
    datagram.count = 0;
}

bool udpOpen(SppHandle &h)
{
    if (h.socket >= 0)
        close(h.socket);
    h.socket = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (h.socket < 0)
        return false;
    // A device simulator bound to another loopback address shares the port.
    const int reuse = 1;
    setsockopt(h.socket, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(SPP_UDP_PORT);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(h.socket, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0)
        return false;
    const int flags = fcntl(h.socket, F_GETFL);
    return flags >= 0 && fcntl(h.socket, F_SETFL, flags | O_NONBLOCK) == 0;
}

void udpClose(SppHandle &h)
{
    if (h.socket >= 0)
        close(h.socket);
    h.socket = -1;
}

void udpFlushInput(SppHandle &h)
{
    udpResetBuffer();
    for (int i = 0; i < kMaxDatagramsPerFlush && receiveDatagram(h) != Receive::Nothing; ++i) {
    }
    udpResetBuffer();
}

bool udpRead(SppHandle &h, uint8_t *buffer, size_t count, size_t &got)
{
    got = 0;
    if (datagram.position >= datagram.count) {
        int waiting = 0;
        if (ioctl(h.socket, FIONREAD, &waiting) != 0)
            return false;
        // FIONREAD gives the size of the next datagram, so an empty datagram
        // reads as "nothing waiting": receive anyway to take it off the queue.
        switch (receiveDatagram(h)) {
        case Receive::Failed: return false;
        case Receive::Nothing:
        case Receive::Foreign: return true;
        case Receive::Datagram: break;
        }
    }
    got = std::min<size_t>(count, datagram.count - datagram.position);
    std::memcpy(buffer, datagram.bytes + datagram.position, got);
    datagram.position = static_cast<uint16_t>(datagram.position + got);
    return true;
}

bool udpWriteDatagram(SppHandle &h, const uint8_t *data, size_t count)
{
    const sockaddr_in device = deviceAddress(h);
    const ssize_t n =
        sendto(h.socket, data, count, 0, reinterpret_cast<const sockaddr *>(&device), sizeof device);
    return n >= 0 && static_cast<size_t>(n) == count;
}

void udpWaitReadable(SppHandle &h, int timeoutMs)
{
    pollfd socketPoll{h.socket, POLLIN, 0};
    const int ready = poll(&socketPoll, 1, timeoutMs);
    if (ready < 0 ? errno != EINTR : (ready > 0 && (socketPoll.revents & POLLIN) == 0))
        sleepMs(timeoutMs);
}

}  // namespace spp
