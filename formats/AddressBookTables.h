// SPDX-License-Identifier: MIT
#pragma once
// The working state of one address book reading pass. The device capacity check
// of the same restore reads the selections and the contact order again.

#include <array>
#include <cstdint>

namespace q57 {

struct AddressBookTables {
    static constexpr uint16_t RecordLimit = 400; // record numbers 0 to 399
    static constexpr uint16_t FirstContact = 16; // 0 to 14 are groups, 15 is never valid
    static constexpr uint16_t GroupLimit = 15;
    static constexpr uint16_t MembersPerGroup = 16;

    // The groups that named a contact whose record has not been read yet.
    struct PendingReference {
        bool pending = false;
        uint8_t groupCount = 0;
        std::array<uint8_t, GroupLimit> groups{};
    };

    std::array<bool, RecordLimit> seenRecords{};
    std::array<uint8_t, RecordLimit> selectionByRecord{};
    std::array<std::array<uint16_t, MembersPerGroup>, GroupLimit> groupMembers{};
    std::array<PendingReference, RecordLimit - FirstContact> pendingReferences{};
    std::array<uint16_t, RecordLimit> contactOrder{};
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
