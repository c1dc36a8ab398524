// SPDX-License-Identifier: MIT
#pragma once
// The working state of one address book reading pass. The device capacity check
// of the same restore reads the selections and the contact order again.

#include "formats/AddressBookLimits.h"

#include <array>
#include <cstdint>

namespace q57 {

struct AddressBookTables {
    using Limits = AddressBookLimits;

    // The groups that named a contact whose record has not been read yet.
    struct PendingReference {
        bool pending = false;
        uint8_t groupCount = 0;
        std::array<uint8_t, Limits::GroupLimit> groups{};
    };

    std::array<bool, Limits::RecordLimit> seenRecords{};
    std::array<uint8_t, Limits::RecordLimit> selectionByRecord{};
    std::array<std::array<uint16_t, Limits::MembersPerGroup>, Limits::GroupLimit> groupMembers{};
    std::array<PendingReference, Limits::RecordLimit - Limits::FirstContact> pendingReferences{};
    std::array<uint16_t, Limits::RecordLimit> contactOrder{};
    uint16_t contactOrderLength = 0;
    uint16_t groupCount = 0;
    uint32_t lastRecordNumber = 0;
    // The last Year accepted; it outlives a pass, so a record without a Year is
    // checked against the year met before it.
    uint16_t lastYear = 0;
    bool overflowReported = false;

    // Everything but lastYear back to its start value.
    void resetForPass()
    {
        const uint16_t year = lastYear;
        *this = AddressBookTables{};
        lastYear = year;
    }
};

} // namespace q57
