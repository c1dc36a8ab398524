// The serial transport: a terminal device in raw 8N1 through termios.
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/include/spp.h"

namespace spp {

// Baud rate of an sppInit speed code: 0 -> 9600, 1 -> 19200, other -> 38400.
uint32_t baudForSpeedCode(uint16_t speedCode);

// Opens the device behind h.portName exclusively, saves its line settings,
// applies raw 8N1 at h.baudRate with reads that return at once, raises DTR.
// A descriptor opened before a later step failed stays in h.portFd.
bool serialOpen(SppHandle &h);

// Discards input, lowers DTR, puts the saved line settings back, gives up
// exclusivity and closes. Result: whether the close succeeded.
bool serialClose(SppHandle &h);

bool serialFlushInput(SppHandle &h);

// Reads what is buffered, up to count bytes, without waiting.
bool serialRead(SppHandle &h, uint8_t *buffer, size_t count, size_t &bytesRead);

bool serialWrite(SppHandle &h, const uint8_t *data, size_t count, size_t &bytesWritten);

// Waits until input arrives or timeoutMs pass, whichever is first.
void serialWaitReadable(SppHandle &h, int timeoutMs);

}  // namespace spp
