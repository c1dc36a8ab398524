// SPDX-License-Identifier: MIT
// The three channel operations the frame protocols use, and their wait,
// each dispatched on the transport (v3 always names the serial one).
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/include/spp.h"

namespace spp {

// The longest a serial wait blocks before the protocols look again.
constexpr int kSerialPollStepMs = 10;

enum class Transport : uint32_t { Udp = SPP_TRANSPORT_UDP, Serial = SPP_TRANSPORT_SERIAL };

// Reads what is there, up to count bytes, without waiting. false on a failed
// read (EIO, EBADF): the channel is of no more use; got tells how many bytes
// came (possibly none). A serial port that hung up reads as empty; the wait
// below reports it.
bool channelRead(SppHandle &h, Transport transport, uint8_t *buffer, size_t count, size_t &got);

// ok only when every byte went out (one datagram on UDP).
bool channelWriteFrame(SppHandle &h, Transport transport, const uint8_t *frame, size_t length);

bool channelFlushInput(SppHandle &h, Transport transport);

// Blocks until input may be there or the time-out passes: on serial for at
// most 10 ms at a time (the protocols' polling step), on UDP for all of it.
// false, at once, when the channel reports a hang-up or an error.
bool channelWaitReadable(SppHandle &h, Transport transport, int timeoutMs);

} // namespace spp
