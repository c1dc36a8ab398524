// SPDX-License-Identifier: MIT
// The transfer check value that guards every item transfer: each CRC-16/ARC
// table step is added to the running value instead of replacing it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace q57::sim {

uint16_t runningCheck(uint16_t value, const uint8_t *bytes, size_t count);

} // namespace q57::sim
