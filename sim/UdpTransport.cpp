// SPDX-License-Identifier: MIT
// UDP transport: one datagram is one frame. Like the host, the simulator
// takes datagrams only from port 47999 (the port the link library binds);
// answers go to the last such sender.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "link/include/spp.h"
#include "sim/SimTransport.h"

namespace q57::sim {
namespace {

class UdpTransport final : public SimTransport {
public:
    UdpTransport(int socket, std::string address) : socket_(socket), address_(std::move(address)) {}
    ~UdpTransport() override { close(socket_); }

    int pollFd() const override { return socket_; }

    bool receive(std::vector<uint8_t> &bytes) override
    {
        uint8_t buffer[2048];
        for (;;) {
            sockaddr_in source{};
            socklen_t length = sizeof source;
            const ssize_t n =
                recvfrom(socket_, buffer, sizeof buffer, MSG_DONTWAIT, reinterpret_cast<sockaddr *>(&source), &length);
            if (n < 0)
                return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
            // Another program could otherwise feed the device frames, or
            // make it answer to itself.
            if (length != sizeof source || source.sin_family != AF_INET || source.sin_port != htons(SPP_UDP_PORT))
                continue;
            peer_ = source;
            havePeer_ = true;
            bytes.insert(bytes.end(), buffer, buffer + n);
        }
    }

    size_t send(const uint8_t *data, size_t count) override
    {
        if (!havePeer_)
            return count; // nobody to answer yet: the bytes are lost, as on a line nobody listens to
        const ssize_t n = sendto(socket_, data, count, 0, reinterpret_cast<const sockaddr *>(&peer_), sizeof peer_);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return 0;
        return count; // a datagram that fails otherwise is lost like a frame on a bad line
    }

    bool isDatagram() const override { return true; }
    std::string where() const override { return address_ + ":" + std::to_string(SPP_UDP_PORT); }

private:
    int socket_;
    std::string address_;
    sockaddr_in peer_{};
    bool havePeer_ = false;
};

} // namespace

std::unique_ptr<SimTransport> openUdpTransport(const std::string &address, std::string &error)
{
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(SPP_UDP_PORT);
    if (inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1) {
        error = "not an IPv4 address: " + address;
        return nullptr;
    }
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    // SO_REUSEPORT, as the link library does: the host's socket on every
    // address may join the port later, but only a socket of the same user
    // (SO_REUSEADDR would let any local user bind beside the device).
    const int reuse = 1;
    if (fd < 0 || setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &reuse, sizeof reuse) != 0 ||
        bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0) {
        error = "cannot bind " + address + ":" + std::to_string(SPP_UDP_PORT) + ": " + std::strerror(errno);
        if (fd >= 0)
            close(fd);
        return nullptr;
    }
    return std::make_unique<UdpTransport>(fd, address);
}

} // namespace q57::sim
