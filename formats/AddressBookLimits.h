// SPDX-License-Identifier: MIT
#pragma once
// How many records an address book holds and how they are numbered, for
// every part of the program that counts them: the restore's rules, the
// editor, the merge and the readers' file size limits.

#include <cstdint>

namespace q57 {

struct AddressBookLimits {
    static constexpr uint16_t RecordLimit = 400; // record numbers 0 to 399
    static constexpr uint16_t GroupLimit = 15;   // groups are the records 0 to 14
    static constexpr uint16_t FirstContact = 16; // 15 is never valid
    static constexpr uint16_t LastContact = RecordLimit - 1;
    static constexpr uint16_t MembersPerGroup = 16;
    // A merge renumbers the contacts of both books from FirstContact and keeps
    // this many ("Contact record over 154." when it drops more).
    static constexpr uint16_t MergedContactLimit = 154;
};

} // namespace q57
