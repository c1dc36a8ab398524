// SPDX-License-Identifier: MIT
// Line-rate emulation. With a baud rate, every byte costs 10 bits of wire
// time in each direction: outgoing bytes are released on a virtual line clock
// (so that rounding never accumulates into drift), and incoming bytes count as
// arrived only once their wire time has passed. With baud 0 nothing is paced.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "sim/SimClock.h"
#include "sim/SimTransport.h"

namespace q57::sim {

class LinePacer {
public:
    // datagram: each unit leaves whole, once all of its bytes are due.
    LinePacer(uint32_t baud, bool datagram) : baud_(baud), datagram_(datagram) {}

    // Puts a unit (a frame, or stray bytes) on the outgoing line after what is queued.
    void queueOutgoing(std::vector<uint8_t> unit, Micros now);
    // Writes the bytes whose wire time has passed.
    void flushDue(SimTransport &transport, Micros now);
    bool outputIdle() const { return outgoing_.empty(); }

    // Bytes read from the transport at now.
    void arrive(const std::vector<uint8_t> &bytes, Micros now);
    // Moves the bytes that have fully arrived by now to out; returns when the
    // last of them arrived on the line (now when nothing is paced), so that the
    // device answers from that moment even when it wakes up a little later.
    Micros takeArrived(Micros now, std::vector<uint8_t> &out);

    // When something is next due (kNever when nothing waits); a transport
    // that would not take bytes is retried a millisecond later.
    Micros nextWake() const;

private:
    struct Unit {
        std::vector<uint8_t> bytes;
        Micros start = 0; // when its first bit goes on the wire
        size_t sent = 0;
    };
    struct Arrival {
        Micros at;
        uint8_t byte;
    };

    // When byte index (0-based) of a unit starting at start has left the wire.
    Micros dueTime(Micros start, size_t index) const;

    uint32_t baud_;
    bool datagram_;
    std::deque<Unit> outgoing_;
    Micros txLineFree_ = 0;
    bool transportBlocked_ = false;
    Micros blockedAt_ = 0;
    std::deque<Arrival> incoming_;
    Micros rxLineFree_ = 0;
};

} // namespace q57::sim
