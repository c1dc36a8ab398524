// SPDX-License-Identifier: MIT
// The device's end of a byte channel: a pseudo-terminal (a serial line) or a
// UDP socket (one frame a datagram).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace q57::sim {

class SimTransport {
public:
    virtual ~SimTransport() = default;

    // Descriptor to poll for input.
    virtual int pollFd() const = 0;
    // Appends whatever input is waiting. False on a failure that ends serving.
    virtual bool receive(std::vector<uint8_t> &bytes) = 0;
    // Writes up to count bytes; returns how many went out (a pseudo-terminal
    // whose reader lags may take fewer; a datagram goes whole or not at all).
    virtual size_t send(const uint8_t *data, size_t count) = 0;
    // True when each send is one datagram: frames must not be split.
    virtual bool isDatagram() const = 0;
    // Where the host finds the device: the slave path or the address.
    virtual std::string where() const = 0;
};

// Creates a pseudo-terminal in raw mode. With an alias ("COM1"), also links
// ${XDG_CONFIG_HOME:-$HOME/.config}/Zantherix/ports/com1 to the slave and
// removes the link again when the transport goes.
std::unique_ptr<SimTransport> openPtyTransport(const std::string &alias, std::string &error);

// Binds address:47999 with SO_REUSEPORT (shared only with the same user's
// sockets, such as the host's, which must bind after it); takes datagrams
// only from port 47999 and answers whoever of those sent last.
std::unique_ptr<SimTransport> openUdpTransport(const std::string &address, std::string &error);

} // namespace q57::sim
