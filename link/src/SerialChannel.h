// SPDX-License-Identifier: MIT
// The serial transport: a terminal device in raw 8N1 through termios.
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/include/spp.h"

namespace spp {

// Baud rate of an sppInit speed code: 0 -> 9600, 1 -> 19200, other -> 38400.
uint32_t baudForSpeedCode(uint16_t speedCode);

// SppHandle.portState: the one field sppAbandon may read and change from
// another thread, so every access to it is atomic. A port is published once
// serialOpen has it fully open with its settings saved; from then on until
// serialClose takes it back, sppAbandon may take it instead, and after that
// the handle's port is sppAbandon's alone and the handle is of no more use.
enum PortState : uint8_t { PortUnpublished = 0, PortPublished = 1, PortAbandoned = 2 };

bool portAbandoned(const SppHandle &h);
// Marks a handle that sppInit sets up as having nothing published.
void clearPortState(SppHandle &h);

// Opens the device behind h.portName: refuses a port whose flock another
// open holds, leaving it untouched; else takes the flock and exclusivity
// (TIOCEXCL), saves its line settings, applies raw 8N1 at h.baudRate with
// reads that return at once, raises DTR and RTS (best effort), and turns on
// low latency where the driver has it. On failure nothing stays open and
// the port is as it was. Publishes the port last. Fails, doing nothing, on a
// handle that sppAbandon has taken.
bool serialOpen(SppHandle &h);

// Discards input, lowers DTR, puts the saved line settings back, turns low
// latency off again if serialOpen turned it on, gives up exclusivity and
// closes (which lets go of the flock). Result: whether the close succeeded;
// false when no port was open, and when sppAbandon has taken the port (which
// is then left alone: the descriptor stays open until the process ends).
bool serialClose(SppHandle &h);

// sppAbandon on a serial handle, from any thread: when the port is published,
// takes it and puts back what serialOpen changed, as serialClose does, but
// neither closes it nor writes to the handle. true when it took the port.
bool serialAbandon(SppHandle &h);

bool serialFlushInput(SppHandle &h);

// Reads what is buffered, up to count bytes, without waiting. false on a
// read error (EIO, EBADF). A port that has hung up reads as empty: the
// waits below report it, and serialHungUp tells it from an empty port.
bool serialRead(SppHandle &h, uint8_t *buffer, size_t count, size_t &bytesRead);

// Whether the port reports a hang-up or an error (costs a poll).
bool serialHungUp(SppHandle &h);

bool serialWrite(SppHandle &h, const uint8_t *data, size_t count, size_t &bytesWritten);

// Waits until input arrives or timeoutMs pass, whichever is first. false
// when the port reports a hang-up or an error.
bool serialWaitReadable(SppHandle &h, int timeoutMs);

} // namespace spp
