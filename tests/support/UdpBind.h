#pragma once
// Tries what another program on this machine could do with the device link's
// UDP port: bind it too, and so receive what is meant for us.

namespace q57::testing {

// Whether a new UDP socket, with the socket option `option` turned on first (0
// for none, else SO_REUSEADDR or SO_REUSEPORT), can bind address:port. The
// socket is closed again at once.
bool canBindUdp(const char *address, unsigned short port, int option);

} // namespace q57::testing
