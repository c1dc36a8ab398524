// SPDX-License-Identifier: MIT
// CRC-16/ARC: polynomial 0x8005 processed bit-reflected (0xA001), initial
// value 0, no final exclusive-or. The table is built at compile time.
#include <array>

#include "link/codec/FrameCodec.h"

namespace spp {
namespace {

constexpr std::array<uint16_t, 256> makeTable()
{
    std::array<uint16_t, 256> table{};
    for (unsigned index = 0; index < 256; ++index) {
        uint16_t value = static_cast<uint16_t>(index);
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1u) ? static_cast<uint16_t>((value >> 1) ^ 0xA001u) : static_cast<uint16_t>(value >> 1);
        table[index] = value;
    }
    return table;
}

constexpr std::array<uint16_t, 256> kTable = makeTable();
static_assert(kTable[1] == 0xC0C1 && kTable[255] == 0x4040, "CRC-16/ARC table");

} // namespace

const uint16_t *crc16ArcTable()
{
    return kTable.data();
}

uint16_t crc16Arc(const uint8_t *data, size_t length)
{
    uint16_t crc = 0;
    for (size_t i = 0; i < length; ++i)
        crc = static_cast<uint16_t>((crc >> 8) ^ kTable[(crc ^ data[i]) & 0xFFu]);
    return crc;
}

} // namespace spp
