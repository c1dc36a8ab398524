// The three channel operations the frame protocols use, and their wait,
// each dispatched on the transport (v3 always names the serial one).
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/include/spp.h"

namespace spp {

enum class Transport : uint32_t { Udp = SPP_TRANSPORT_UDP, Serial = SPP_TRANSPORT_SERIAL };

// ok == false on a failed read; got tells whether a byte came.
bool channelReadByte(SppHandle &h, Transport transport, uint8_t &byte, bool &got);

// ok only when every byte went out (one datagram on UDP).
bool channelWriteFrame(SppHandle &h, Transport transport, const uint8_t *frame, size_t length);

bool channelFlushInput(SppHandle &h, Transport transport);

// Blocks until input may be there or the time-out passes: on serial for at
// most 10 ms at a time (the protocols' polling step), on UDP for all of it.
void channelWaitReadable(SppHandle &h, Transport transport, int timeoutMs);

}  // namespace spp
