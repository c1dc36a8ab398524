// SPDX-License-Identifier: MIT
#include "sim/LinePacer.h"

#include <algorithm>

namespace q57::sim {
namespace {
constexpr int64_t kBitsPerByte = 10; // 8N1: start bit, 8 data bits, stop bit
constexpr Micros kBlockedRetry = 1000;
} // namespace

Micros LinePacer::dueTime(Micros start, size_t index) const
{
    if (baud_ == 0)
        return start;
    return start + static_cast<Micros>((index + 1) * kBitsPerByte * 1000000 / baud_);
}

void LinePacer::queueOutgoing(std::vector<uint8_t> unit, Micros now)
{
    if (unit.empty())
        return;
    const Micros start = std::max(now, txLineFree_);
    txLineFree_ = dueTime(start, unit.size() - 1);
    outgoing_.push_back({std::move(unit), start, 0});
}

void LinePacer::flushDue(SimTransport &transport, Micros now)
{
    transportBlocked_ = false;
    while (!outgoing_.empty()) {
        Unit &unit = outgoing_.front();
        size_t due = unit.sent;
        while (due < unit.bytes.size() && dueTime(unit.start, due) <= now)
            ++due;
        if (datagram_ && due < unit.bytes.size())
            return;
        if (due > unit.sent) {
            const size_t wanted = due - unit.sent;
            const size_t written = transport.send(unit.bytes.data() + unit.sent, wanted);
            unit.sent += written;
            if (written < wanted) {
                transportBlocked_ = true;
                blockedAt_ = now;
                return;
            }
        }
        if (unit.sent < unit.bytes.size())
            return;
        outgoing_.pop_front();
    }
}

void LinePacer::arrive(const std::vector<uint8_t> &bytes, Micros now)
{
    for (uint8_t byte : bytes) {
        Micros at = now;
        if (baud_ != 0) {
            rxLineFree_ = dueTime(std::max(rxLineFree_, now), 0);
            at = rxLineFree_;
        }
        incoming_.push_back({at, byte});
    }
}

Micros LinePacer::takeArrived(Micros now, std::vector<uint8_t> &out)
{
    Micros last = now;
    while (!incoming_.empty() && incoming_.front().at <= now) {
        out.push_back(incoming_.front().byte);
        last = incoming_.front().at;
        incoming_.pop_front();
    }
    return baud_ == 0 ? now : last;
}

Micros LinePacer::nextWake() const
{
    Micros wake = kNever;
    if (!incoming_.empty())
        wake = incoming_.front().at;
    if (!outgoing_.empty()) {
        const Unit &unit = outgoing_.front();
        const Micros due = transportBlocked_ ? blockedAt_ + kBlockedRetry
                           : datagram_       ? dueTime(unit.start, unit.bytes.size() - 1)
                                             : dueTime(unit.start, unit.sent);
        wake = std::min(wake, due);
    }
    return wake;
}

} // namespace q57::sim
