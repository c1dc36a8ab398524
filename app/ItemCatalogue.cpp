// SPDX-License-Identifier: MIT
#include "app/ItemCatalogue.h"

#include "app/AppSettings.h"
#include "app/JobFlags.h"
#include "app/Paths.h"
#include "app/StatusLog.h"
#include "app/UserInteraction.h"

namespace q57 {

namespace {

struct Identity {
    const char *key;
    const char *displayName;
    const char *extension;
};

// In catalogue order; the first seven are numbered 0 to 6 in device requests.
constexpr std::array<Identity, ItemCount> Identities = {{
    {"preferences", "Preferences", "opt"},
    {"addressBook", "Address Book", "adr"},
    {"folders", "Folders", "fld"},
    {"memos", "Memos", "mmo"},
    {"quicktext", "Quicktext", "qtx"},
    {"testfile", "Test File", ".txt"},
    {"vfile", "File", ".txt"},
    {"w300ab", "W300 Address Book", "adr"},
    {"q57ab", "Q57 Address Book", "adr"},
    {"mergedab", "Merged Address Book", "adr"},
}};
constexpr std::size_t TransferredItemCount = 7;

} // namespace

ItemCatalogue::ItemCatalogue(AppSettings &settings, JobFlags &flags, UserInteraction &ui, StatusLog &log)
    : settings_(settings), flags_(flags), ui_(ui), log_(log)
{
}

const char *ItemCatalogue::itemKey(ItemId id)
{
    return Identities[id].key;
}

void ItemCatalogue::buildCatalogue()
{
    for (std::size_t id = 0; id < ItemCount; ++id) {
        DataItem &item = items_[id];
        item = DataItem{};
        item.key = Identities[id].key;
        item.displayName = Identities[id].displayName;
        item.extension = Identities[id].extension;
        item.tempName = "~" + item.extension + "xxxx.tmp";
        if (id < TransferredItemCount)
            item.deviceItemId = static_cast<uint8_t>(id);
    }
    for (std::size_t id = 0; id < ItemCount; ++id)
        if (keepsSettings(static_cast<ItemId>(id)))
            loadItemSettings(items_[id]);
    for (ItemId id : {TestFile, File}) {
        // Their extension already starts with a dot.
        items_[id].directory = settings_.paths.dataDirectory;
        items_[id].fileName = items_[id].key + items_[id].extension;
    }
}

void ItemCatalogue::saveCatalogue()
{
    for (std::size_t id = 0; id < ItemCount; ++id)
        if (keepsSettings(static_cast<ItemId>(id)))
            saveItemSettings(items_[id]);
    settings_.store().sync();
}

void ItemCatalogue::loadItemSettings(DataItem &item)
{
    const std::string fileKey = item.key + "File";
    // A seeding run starts from the administrator's choices; the folder is the
    // user's own and is not carried over.
    settings_.copyMachineValue(item.key);
    settings_.copyMachineValue(fileKey);

    SettingsStore &store = settings_.store();
    item.selected = store.readInt(item.key, 0) != 0;
    item.fileName = store.readString(fileKey, item.key + "." + item.extension);
    item.directory = withTrailingSlash(store.readString(item.key + "Path", settings_.paths.dataDirectory));
}

void ItemCatalogue::saveItemSettings(DataItem &item)
{
    item.splitFullPath(item.fileName);
    SettingsStore &store = settings_.store();
    store.writeInt(item.key, item.selected ? 1 : 0);
    store.writeString(item.key + "File", item.fileName);
    store.writeString(item.key + "Path", item.directory);
}

uint16_t ItemCatalogue::selectionMask() const
{
    uint16_t mask = flags_.backupMode ? BackupModeBit : 0;
    for (std::size_t id = 0; id < DeviceItemCount; ++id)
        if (isIncluded(static_cast<ItemId>(id)))
            mask |= selectionBit(static_cast<ItemId>(id));
    return mask;
}

bool ItemCatalogue::isIncluded(ItemId id) const
{
    return items_[id].isIncluded(flags_.backupMode);
}

void ItemCatalogue::reportItemFailure(const DataItem &item, uint8_t code)
{
    const std::string text = formatText(flags_.backupMode ? "Unable to backup %s. [%d]" : "Unable to restore %s. [%d]",
                                        item.displayName.c_str(), code);
    ui_.showMessage(text);
    log_.logText(text + "\n");
}

} // namespace q57
