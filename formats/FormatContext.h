// SPDX-License-Identifier: MIT
#pragma once
// What every format handler works with besides its two streams: where findings
// go (status log, messages), the items whose counters the handlers read and
// set, and the tables that one reading pass leaves for the next step of the
// same restore. Each validation owns its own context, so two of them never see
// each other's tables.

#include "app/DataItem.h"
#include "formats/AddressBookTables.h"
#include "formats/TextEntryTable.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace q57 {

class StatusLog;
class UserInteraction;

struct FormatContext {
    FormatContext(StatusLog &statusLog, UserInteraction &interaction, DataItem &addressBookItem,
                  DataItem &quicktextItem)
        : log(statusLog), ui(interaction), addressBook(addressBookItem), quicktext(quicktextItem)
    {
    }

    StatusLog &log;
    UserInteraction &ui;
    DataItem &addressBook; // recordCount, highestRecordId, capacity, itemFlags
    DataItem &quicktext;   // recordCount, capacity

    // The connected device wants memo labels of at most 19 characters.
    bool deviceLevelTwo = false;

    // Told by the address book rules which field the findings they log next are
    // about: the record number of their messages and the field's position in
    // the file line (0, the record number, for a finding about the whole
    // record). An editor places each finding with it; a restore has no use for it.
    std::function<void(long record, size_t field)> findingObserver;

    AddressBookTables addressBookTables;
    TextEntryTable textEntries;
    uint16_t textEntryCount = 0;
};

} // namespace q57
