// SPDX-License-Identifier: MIT
#include "formats/DeviceCapacityCheck.h"

#include "app/StatusLog.h"
#include "app/UserInteraction.h"
#include "formats/AddressSelection.h"
#include "formats/FormatContext.h"

#include <algorithm>

namespace q57 {

namespace {

bool invalidFile(FormatContext &context)
{
    showMessage(context.ui, "Invalid %s file. Please View Status Log.", context.addressBook.displayName.c_str());
    return false;
}

// Logs every selection of every contact that the device does not offer.
bool selectionsSupported(FormatContext &context)
{
    const AddressBookTables &tables = context.addressBookTables;
    const uint8_t supported = context.addressBook.itemFlags[1];
    const size_t contacts = std::min<size_t>(context.addressBook.recordCount, tables.contactOrderLength);
    bool passed = true;
    for (size_t i = 0; i < contacts; ++i) {
        const uint16_t number = tables.contactOrder[i];
        const uint8_t selection = tables.selectionByRecord[number];
        for (const SelectionCode &code : SelectionCodes) {
            if ((selection & code.bit) && !(supported & code.bit)) {
                context.log.log("Record#%ld: %s selection is not available on your device.\n",
                                static_cast<long>(number), code.messageName);
                passed = false;
            }
        }
    }
    return passed;
}

} // namespace

bool checkDeviceCapacity(FormatContext &context, uint16_t capacity)
{
    DataItem &item = context.addressBook;
    item.capacity = capacity;
    if (capacity == 0)
        return false;
    const long highestAllowed = static_cast<long>(capacity) + 16;
    if (item.highestRecordId > highestAllowed) {
        context.log.log("Record ID (%ld)(for both groups and contacts) exceeds maximum allowed: (%ld)\n",
                        static_cast<long>(item.highestRecordId), highestAllowed);
        return invalidFile(context);
    }
    if (item.recordCount > capacity) {
        context.log.log("Number of contacts exceeds the maximum allowed (Max. %ld): %ld.", static_cast<long>(capacity),
                        static_cast<long>(item.recordCount));
        return invalidFile(context);
    }
    if (!selectionsSupported(context))
        return invalidFile(context);
    return true;
}

} // namespace q57
