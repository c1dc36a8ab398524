// SPDX-License-Identifier: MIT
#pragma once
// The transfer check value: a 16-bit running sum over the CRC-16/ARC table that
// guards every item transfer and is the two-byte trailer (low byte first) of the
// preferences and folders data.

#include <cstddef>
#include <cstdint>
#include <iosfwd>

namespace q57 {

struct FormatContext;

// Continues `running` over `count` bytes.
uint16_t transferCheck(uint16_t running, const uint8_t *bytes, size_t count);

// Restore check of the preferences and folders data: the last two bytes must hold
// the check value of the bytes before them. Data shorter than two bytes passes.
// Logs "File is corrupt. CRC failure.\n" when it fails.
bool verifyFileCheckValue(FormatContext &context, std::istream &input);

} // namespace q57
