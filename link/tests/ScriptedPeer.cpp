// SPDX-License-Identifier: MIT
#include "link/tests/ScriptedPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

namespace spp::test {
namespace {

constexpr uint16_t kPort = SPP_UDP_PORT;

sockaddr_in loopback(const char *address)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(kPort);
    a.sin_addr.s_addr = inet_addr(address);
    return a;
}

// SO_REUSEPORT, as the simulator binds: the host's socket on every address
// (same user) may join port 47999 after it.
int boundUdpSocket(const char *address, uint16_t port)
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int reuse = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &reuse, sizeof reuse);
    sockaddr_in local = loopback(address);
    local.sin_port = htons(port);
    if (bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::unique_ptr<ScriptedPeer> ScriptedPeer::onPseudoTerminal(const std::string &configHome)
{
    int master = -1;
    int slave = -1;
    char name[128] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&master, &slave, name, &raw, nullptr) != 0)
        return std::unique_ptr<ScriptedPeer>(new ScriptedPeer(Kind::PseudoTerminal, -1));
    const std::filesystem::path ports = std::filesystem::path(configHome) / "Zantherix" / "ports";
    std::filesystem::create_directories(ports);
    std::filesystem::remove(ports / "com1");
    std::filesystem::create_symlink(name, ports / "com1");
    auto peer = std::unique_ptr<ScriptedPeer>(new ScriptedPeer(Kind::PseudoTerminal, master));
    peer->slaveFd_ = slave;
    return peer;
}

std::unique_ptr<ScriptedPeer> ScriptedPeer::onUdp()
{
    return std::unique_ptr<ScriptedPeer>(new ScriptedPeer(Kind::Udp, boundUdpSocket("127.0.0.2", kPort)));
}

ScriptedPeer::~ScriptedPeer()
{
    join();
    if (fd_ >= 0)
        close(fd_);
    if (slaveFd_ >= 0)
        close(slaveFd_);
}

void ScriptedPeer::run(Script script)
{
    join();
    thread_ = std::thread([this, script = std::move(script)] { script(*this); });
}

void ScriptedPeer::join()
{
    if (thread_.joinable())
        thread_.join();
}

CheckMode ScriptedPeer::checkFor(ProtocolVersion version) const
{
    return kind_ == Kind::Udp && version == ProtocolVersion::V4 ? CheckMode::Unchecked : CheckMode::Computed;
}

bool ScriptedPeer::readMore(int timeoutMs)
{
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0 || (p.revents & POLLIN) == 0)
        return false;
    uint8_t bytes[4096];
    const ssize_t n = kind_ == Kind::Udp ? recv(fd_, bytes, sizeof bytes, 0) : read(fd_, bytes, sizeof bytes);
    if (n <= 0)
        return false;
    pending_.insert(pending_.end(), bytes, bytes + n);
    received_.insert(received_.end(), bytes, bytes + n);
    return true;
}

bool ScriptedPeer::nextFrame(LinkFrame &frame, ProtocolVersion version, int timeoutMs)
{
    const ParseOptions options{version, checkFor(version), LinkSide::Device};
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const ParseResult result = parseFrame(pending_.data(), pending_.size(), options, frame);
        if (result.verdict == SPP_RF_FRAME) {
            pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(result.consumed));
            frames_.push_back(frame);
            return true;
        }
        if (result.verdict == SPP_RF_BAD) {
            pending_.erase(pending_.begin());
            continue;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !readMore(static_cast<int>(left.count())))
            return false;
    }
}

bool ScriptedPeer::nextFrameOfKind(FrameKind kind, LinkFrame &frame, ProtocolVersion version, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !nextFrame(frame, version, static_cast<int>(left.count())))
            return false;
        if (frame.kind == kind)
            return true;
    }
}

void ScriptedPeer::sendBytes(const std::vector<uint8_t> &bytes)
{
    if (kind_ == Kind::Udp) {
        const sockaddr_in host = loopback("127.0.0.1");
        sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr *>(&host), sizeof host);
    } else if (write(fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        return;
    }
}

void ScriptedPeer::send(const LinkFrame &frame, ProtocolVersion version)
{
    uint8_t bytes[kMaxFrameSize];
    const size_t length = buildFrame(frame, version, checkFor(version), bytes, sizeof bytes);
    sendBytes(std::vector<uint8_t>(bytes, bytes + length));
}

void ScriptedPeer::sendFrom(const char *address, uint16_t port, const std::vector<uint8_t> &bytes)
{
    const int stranger = boundUdpSocket(address, port);
    const sockaddr_in host = loopback("127.0.0.1");
    sendto(stranger, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr *>(&host), sizeof host);
    close(stranger);
}

void ScriptedPeer::acknowledge(uint8_t sequence, ProtocolVersion version)
{
    LinkFrame frame{};
    frame.kind = Acknowledge;
    frame.sequence = sequence;
    send(frame, version);
}

void ScriptedPeer::status(uint8_t sequence, uint8_t code, uint8_t value, ProtocolVersion version)
{
    LinkFrame frame{};
    frame.kind = Status;
    frame.sequence = sequence;
    frame.status = code;
    frame.statusValue = value;
    send(frame, version);
}

void ScriptedPeer::data(uint8_t channel, uint8_t sequence, const std::vector<uint8_t> &payload, ProtocolVersion version)
{
    LinkFrame frame{};
    frame.kind = Data;
    frame.channel = channel;
    frame.sequence = sequence;
    frame.length = static_cast<uint16_t>(payload.size());
    std::copy(payload.begin(), payload.end(), frame.payload);
    send(frame, version);
}

bool ScriptedPeer::acceptConnect(ProtocolVersion version)
{
    LinkFrame frame{};
    if (!nextFrameOfKind(Connect, frame, version, 3000))
        return false;
    acknowledge(frame.sequence, version);
    return true;
}

bool ScriptedPeer::receivedAtLeast(size_t count, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (received_.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !readMore(static_cast<int>(left.count())))
            return false;
    }
    return true;
}

void ScriptedPeer::hangUp()
{
    for (int *fd : {&fd_, &slaveFd_}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}

bool ScriptedPeer::silentFor(int quietMs)
{
    const size_t before = received_.size();
    while (readMore(quietMs)) {
    }
    return received_.size() == before;
}

} // namespace spp::test
