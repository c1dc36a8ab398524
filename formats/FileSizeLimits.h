// SPDX-License-Identifier: MIT
#pragma once
// The largest file each reader takes from a user, worked out from the most its
// format can hold, with room for comments, padding and hand editing. A file
// past its limit cannot be one the device would take, so it is refused before
// anything reads it (files/BoundedFile.h).

#include "formats/AddressBookLimits.h"
#include "formats/AddressBookLineReader.h"
#include "formats/TextEntryTable.h"

#include <cstdint>

namespace q57 {

// 400 records of the longest line (280,000 bytes), seven times over for
// comment and blank lines: 2 MiB.
inline constexpr std::uint64_t AddressBookFileLimit = 2 * 1024 * 1024;
static_assert(AddressBookFileLimit >= 7ULL * AddressBookLimits::RecordLimit * AddressBookLineReader::LineLimit);

// 199 memos of a 20-character label and a 2,000-character text, every
// character a line break written as CR LF, with their tags (823,000 bytes),
// and room for what lies between them: 2 MiB.
inline constexpr std::uint64_t MemosFileLimit = 2 * 1024 * 1024;
static_assert(MemosFileLimit >= 2ULL * TextEntryTable::Capacity * 2 * (20 + 2000 + 32));

// 19 entries of 160 characters, every one a CR LF, with their tags (6,800
// bytes), and room for what lies between them: 256 KiB.
inline constexpr std::uint64_t QuicktextFileLimit = 256 * 1024;

// A device block of preferences or folders is a few thousand bytes; the
// stored form adds a header byte and a check value: 1 MiB.
inline constexpr std::uint64_t DeviceBlockFileLimit = 1024 * 1024;

} // namespace q57
