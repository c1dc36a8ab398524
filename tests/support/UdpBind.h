// SPDX-License-Identifier: MIT
#pragma once
// Tries what another program on this machine could do with the device link's
// UDP port: bind it too, and so receive what is meant for us.

#include <vector>

namespace q57::testing {

struct UdpBindAttempt {
    const char *address;
    int option; // 0, SO_REUSEADDR or SO_REUSEPORT
};

// Whether a new UDP socket, with the socket option `option` turned on first (0
// for none, else SO_REUSEADDR or SO_REUSEPORT), can bind address:port. The
// socket is closed again at once.
bool canBindUdp(const char *address, unsigned short port, int option);

// How many of `attempts` on `port` succeed for another local user: a child
// process that becomes user and group 65534 ("nobody") tries each in turn.
// Needs root; -1 when the child could not be started or change its user.
int udpBindsAsAnotherUser(const std::vector<UdpBindAttempt> &attempts, unsigned short port);

} // namespace q57::testing
