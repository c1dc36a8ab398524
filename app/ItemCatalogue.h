// SPDX-License-Identifier: MIT
#pragma once
// The ten data items in their fixed order, built once at start-up from the
// settings and saved back when the program ends. Jobs, the device session, the
// format handlers, the merge and the window all work on these records; walks
// over several items use the catalogue order.
//
// Settings kept per item (section "Version 1.02"): integer <key> (selected),
// string <key>"File" (bare file name) and string <key>"Path" (its directory).
// Test File and File keep nothing: they always live in the data directory under
// their fixed names.

#include "app/DataItem.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace q57 {

class AppSettings;
class StatusLog;
class UserInteraction;
struct JobFlags;

enum ItemId : std::size_t {
    Preferences,
    AddressBook,
    Folders,
    Memos,
    Quicktext,
    TestFile,
    File,
    W300AddressBook,
    Q57AddressBook,
    MergedAddressBook,
    ItemCount
};

// Bit 15 of the selection mask: the job is a backup.
inline constexpr uint16_t BackupModeBit = 0x8000;
// Bit of a device item (Preferences to Quicktext) in the selection mask.
constexpr uint16_t selectionBit(ItemId id)
{
    return static_cast<uint16_t>(0x4000u >> id);
}

class ItemCatalogue {
public:
    // The first five items: what the user backs up and restores.
    static constexpr std::size_t DeviceItemCount = 5;

    ItemCatalogue(AppSettings &settings, JobFlags &flags, UserInteraction &ui, StatusLog &log);
    ItemCatalogue(const ItemCatalogue &) = delete;
    ItemCatalogue &operator=(const ItemCatalogue &) = delete;

    // The item's settings key ("addressBook"), which also names it on the
    // command line; known before the catalogue is built (item(id).key after).
    static const char *itemKey(ItemId id);

    // Sets every item's identity and loads the user's choices. Needs the
    // settings opened and the data directory known (AppSettings::preparePaths).
    void buildCatalogue();
    // Writes every persisted item's choices back to the settings.
    void saveCatalogue();
    void loadItemSettings(DataItem &item);
    void saveItemSettings(DataItem &item);

    DataItem &item(ItemId id) { return items_[id]; }
    const DataItem &item(ItemId id) const { return items_[id]; }
    std::array<DataItem, ItemCount> &items() { return items_; }

    // Bit 15 = backup mode; bits 14 to 10 = Preferences to Quicktext, each set
    // when the item is included in the current job.
    uint16_t selectionMask() const;
    // Whether the item takes part in the current job (see DataItem::isIncluded).
    bool isIncluded(ItemId id) const;
    // "Unable to backup %s. [%d]" or "Unable to restore %s. [%d]" with the
    // item's name and the failure code: shown, then logged as a line.
    void reportItemFailure(const DataItem &item, uint8_t code);
    void reportItemFailure(ItemId id, uint8_t code) { reportItemFailure(item(id), code); }

private:
    static bool keepsSettings(ItemId id) { return id != TestFile && id != File; }

    AppSettings &settings_;
    JobFlags &flags_;
    UserInteraction &ui_;
    StatusLog &log_;
    std::array<DataItem, ItemCount> items_;
};

// The device items in the order of the window's rows: what the front ends list.
inline constexpr std::array<ItemId, ItemCatalogue::DeviceItemCount> DeviceItemIds = {Preferences, AddressBook, Folders,
                                                                                     Memos, Quicktext};

} // namespace q57
