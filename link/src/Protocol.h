// SPDX-License-Identifier: MIT
// The frame procedures shared by protocol v4 and protocol v3. A Link names
// one protocol of one handle: its state block, its frame format, the transport
// it runs on (v3 always the serial port) and whether check values are checked.
#pragma once

#include <cstdint>

#include "link/codec/FrameCodec.h"
#include "link/include/spp.h"
#include "link/src/Channel.h"

namespace spp {

struct Link {
    SppHandle &handle;
    SppProtocolState &state;
    ProtocolVersion version;
    Transport transport;
    CheckMode check;
    // Bytes still missing from a frame whose start the last receiveFrame read;
    // 0 when that call read nothing. The waits use it to sleep through the
    // wire time of the rest instead of waking for every byte.
    size_t inFlight = 0;
    // Set when a read or a write on the channel failed (or it hung up): a
    // broken port or a socket that is not open, where retrying is useless.
    bool channelFailed = false;
};

Link linkFor(SppHandle &h, ProtocolVersion version);

// Time-outs of the acknowledged exchanges, per try.
constexpr int kControlTimeoutMs = 750;
constexpr int kDataTimeoutMs = 1000;

// Builds and writes one frame. Refuses (writing nothing) the kinds only the
// device sends, and reset and configure in v3. A failed write sets
// channelFailed.
bool sendFrame(Link &link, const LinkFrame &frame);

// What receiveFrame found.
enum class Receipt {
    Frame,   // one complete, valid frame
    Nothing, // no whole frame yet: wait for more input
    Failed,  // the channel failed (read error, hang-up): waiting is useless
};

// Reads what is available and returns one complete, valid frame if there is
// one. A frame already complete in rxBuffer is returned even when the channel
// has failed since. Failed also sets channelFailed.
Receipt receiveFrame(Link &link, LinkFrame &frame);

// Waits for more input after receiveFrame found no frame, until the deadline
// at the latest: through the wire time of the rest of a frame in flight on a
// serial line, else until input arrives (serial: in steps of at most 10 ms).
// false, at once, when the channel reports a hang-up or an error (and
// channelFailed is set).
bool waitForInput(Link &link, int remainingMs);

// 10 ms pause, the attention byte, 10 ms pause.
bool sendAttention(Link &link);

// Sends state.txFrame under txSequence until acknowledged, tries times,
// timeoutMs per try.
bool sendAcknowledged(Link &link, uint8_t tries, int timeoutMs);

bool sendAcknowledge(Link &link, uint8_t sequence, bool repeat);

// Waits for a new data frame on channel, acknowledging every data frame; the
// payload goes to destination (room for SPP_MAX_FRAME bytes).
bool receiveData(Link &link, uint8_t channel, int timeoutMs, uint8_t *destination, uint16_t &length);

// Counts frames of kind (data frames: on channel) until count is reached.
bool waitSignals(Link &link, int timeoutMs, FrameKind kind, uint8_t channel, int count);

// The attention byte, the wake-up (v3: 130 more attention bytes), the connect
// frame under acknowledgement; on success both sequence numbers restart.
bool connectLink(Link &link);

} // namespace spp
