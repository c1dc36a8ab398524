// SPDX-License-Identifier: MIT
#include "link/src/UdpChannel.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

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
    // Only the device's own address and port: any host, or another program
    // on the device's machine, could otherwise inject frames.
    if (source.sin_family != AF_INET || source.sin_addr.s_addr != h.peerAddress ||
        source.sin_port != htons(SPP_UDP_PORT))
        return Receive::Foreign;
    datagram.position = 0;
    datagram.count = static_cast<uint16_t>(n);
    return Receive::Datagram;
}

} // namespace

void udpResetBuffer()
{
    datagram.position = 0;
    datagram.count = 0;
}

bool udpOpen(SppHandle &h)
{
    if (h.socket >= 0)
        udpClose(h); // reopening must not leak the earlier socket
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    // SO_REUSEPORT lets the port be shared only among sockets of the same
    // user that all ask for it: a device simulator bound to another loopback
    // address before us. (SO_REUSEADDR would let any local user bind
    // 127.0.0.1:47999 beside us and take the device's answers.)
    const int on = 1;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(SPP_UDP_PORT);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &on, sizeof on) != 0 ||
        bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0) {
        close(fd);
        return false;
    }
    // Bound, the socket stops offering to share: from now on every other
    // bind of port 47999 that overlaps ours fails, our own user's included,
    // so a second link on this machine cannot split the device's answers
    // with this one.
    const int off = 0;
    if (setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &off, sizeof off) != 0) {
        close(fd);
        return false;
    }
    h.socket = fd;
    return true;
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
    const ssize_t n = sendto(h.socket, data, count, 0, reinterpret_cast<const sockaddr *>(&device), sizeof device);
    return n >= 0 && static_cast<size_t>(n) == count;
}

bool udpWaitReadable(SppHandle &h, int timeoutMs)
{
    pollfd socketPoll{h.socket, POLLIN, 0};
    const int ready = poll(&socketPoll, 1, timeoutMs);
    if (ready < 0)
        return errno == EINTR;
    return (socketPoll.revents & (POLLERR | POLLHUP | POLLNVAL)) == 0;
}

} // namespace spp
