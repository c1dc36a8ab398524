// SPDX-License-Identifier: MIT
// The misbehaviours the simulator can be told to show, for the host's
// reliability tests. Every field off (0 / false) is a well-behaved device.
#pragma once

#include <cstdint>

namespace q57::sim {

struct FaultPlan {
    uint32_t dropAckEvery = 0;         // no acknowledgement for every Nth host frame that needs one
    bool garbageBetweenFrames = false; // a few stray bytes in front of every frame sent
    uint32_t corruptEvery = 0;         // one damaged byte in every Nth frame sent
    uint64_t silentAfter = 0;          // nothing at all is sent after this many bytes (0: off)
    bool silentAfterSet = false;
    bool refuseWrite = false;      // every write request is answered with 17
    uint32_t outOfMemoryAfter = 0; // chunk N + 1 of a write is answered with 17
    bool outOfMemoryAfterSet = false;
    bool wrongReadCheck = false;   // the read end carries a wrong check value
    uint32_t shortWriteOffset = 0; // first chunk of a write: report N bytes fewer than taken
    bool noFinalAnswer = false;    // the address book write gets no answer after end of data
    bool shortRead = false;        // a read leaves out its last chunk, yet counts it in the read end
    bool longReadChunks = false;   // each read chunk carries one byte more than its count byte says
    bool stuckWriteOffset = false; // after the first chunk of a write, nothing more is taken
    uint32_t longWriteOffset = 0;  // first chunk of a write: report N bytes more than taken
};

// Garbage bytes put in front of frames: none of them can start a frame, even
// on UDP where check values are not checked.
constexpr uint8_t kGarbageBytes[4] = {0x41, 0x5A, 0x00, 0x7F};

} // namespace q57::sim
