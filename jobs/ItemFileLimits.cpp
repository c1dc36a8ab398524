// SPDX-License-Identifier: MIT
#include "jobs/ItemFileLimits.h"

#include "formats/FileSizeLimits.h"

namespace q57 {

std::uint64_t itemFileLimit(ItemId id)
{
    switch (id) {
    case Memos: return MemosFileLimit;
    case Quicktext: return QuicktextFileLimit;
    case AddressBook:
    case W300AddressBook:
    case Q57AddressBook:
    case MergedAddressBook: return AddressBookFileLimit;
    default: return DeviceBlockFileLimit; // Preferences, Folders and the raw test files
    }
}

BoundedFile openItemFile(ItemId id, const std::string &path)
{
    return BoundedFile(path, itemFileLimit(id));
}

} // namespace q57
