// SPDX-License-Identifier: MIT
// The serial transport: a terminal device in raw 8N1 through termios.
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/include/spp.h"

namespace spp {

// Baud rate of an sppInit speed code: 0 -> 9600, 1 -> 19200, other -> 38400.
uint32_t baudForSpeedCode(uint16_t speedCode);

// Opens the device behind h.portName: refuses a port whose flock another
// open holds, leaving it untouched; else takes the flock and exclusivity
// (TIOCEXCL), saves its line settings, applies raw 8N1 at h.baudRate with
// reads that return at once, raises DTR and RTS (best effort), and turns on
// low latency where the driver has it. On failure nothing stays open and
// the port is as it was.
bool serialOpen(SppHandle &h);

// Discards input, lowers DTR, puts the saved line settings back, turns low
// latency off again if serialOpen turned it on, gives up exclusivity and
// closes (which lets go of the flock). Result: whether the close succeeded;
// false when no port was open.
bool serialClose(SppHandle &h);

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
