// SPDX-License-Identifier: MIT
#include "sim/RunningCheck.h"

#include "link/codec/FrameCodec.h"

namespace q57::sim {

uint16_t runningCheck(uint16_t value, const uint8_t *bytes, size_t count)
{
    const uint16_t *table = spp::crc16ArcTable();
    for (size_t i = 0; i < count; ++i)
        value = static_cast<uint16_t>(value + ((value >> 8) ^ table[(value ^ bytes[i]) & 0xFF]));
    return value;
}

} // namespace q57::sim
