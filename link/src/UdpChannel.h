// SPDX-License-Identifier: MIT
// The UDP transport: one frame per datagram to the device's address, port 47999.
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/include/spp.h"

namespace spp {

// Empties the process-wide datagram buffer (sppInit of a UDP handle does).
void udpResetBuffer();

// Creates the socket and binds it to port 47999 on every local address,
// shared (SO_REUSEPORT) with sockets of the same user already bound there
// and with no socket that comes later. On failure nothing stays open.
bool udpOpen(SppHandle &h);
void udpClose(SppHandle &h);

// Drops every datagram that is waiting, and what is left of the last one.
void udpFlushInput(SppHandle &h);

// Delivers up to count of the next bytes of the current datagram, receiving a
// new datagram when the last one is used up. Datagrams from anywhere but the
// device's address and port 47999 are dropped unread. ok with got == 0 when
// nothing is waiting; false when the socket fails (EBADF when not open).
bool udpRead(SppHandle &h, uint8_t *buffer, size_t count, size_t &got);

bool udpWriteDatagram(SppHandle &h, const uint8_t *data, size_t count);

// Waits until a datagram arrives or timeoutMs pass. false when the socket
// reports an error.
bool udpWaitReadable(SppHandle &h, int timeoutMs);

} // namespace spp
