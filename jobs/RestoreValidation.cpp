// SPDX-License-Identifier: MIT
#include "jobs/RestoreValidation.h"

#include "app/JobFlags.h"
#include "app/StatusLog.h"
#include "app/UserInteraction.h"
#include "formats/AddressBookFile.h"
#include "formats/DeviceBlockFile.h"
#include "formats/FormatContext.h"
#include "formats/MemosFile.h"
#include "formats/QuicktextFile.h"
#include "formats/TextEntryTable.h"
#include "formats/TransferCheck.h"
#include "jobs/ItemFileLimits.h"
#include "jobs/ItemStaging.h"

#include <filesystem>
#include <sstream>

namespace q57 {

void installRestoreHandlers(ItemId id, DataItem &item)
{
    switch (id) {
    case Preferences:
        item.restorePass2 = preferencesFromFile;
        item.restoreCheck = verifyFileCheckValue;
        break;
    case AddressBook: item.restorePass2 = readAddressBookFile; break;
    case Folders:
        item.restorePass2 = foldersFromFile;
        item.restoreCheck = verifyFileCheckValue;
        break;
    case Memos:
        item.restorePass1 = memosFromFile;
        item.restoreFinal = reverseTextEntries;
        break;
    case Quicktext:
        item.restorePass1 = quicktextFromFile;
        item.restoreFinal = reverseTextEntries;
        break;
    default: break;
    }
}

int restoreReleaseMode(ItemId id)
{
    switch (id) {
    case Preferences:
    case Folders: return 1;
    case AddressBook:
    case Memos:
    case Quicktext: return 2;
    default: return 0;
    }
}

namespace {

// One validation: the item, its current input name and where it reports.
class ItemValidation {
public:
    ItemValidation(ItemId id, DataItem &item, FormatContext &context, const JobFlags &flags)
        : id_(id), item_(item), context_(context), flags_(flags)
    {
    }

    bool run();

private:
    bool openUserFile();
    bool runPass(PassHandler pass);
    bool runCheck(CheckHandler check);
    bool runFinal(PassHandler pass);
    bool invalidFile();
    bool open(bool withOutput);
    std::istream &input();

    ItemId id_;
    DataItem &item_;
    FormatContext &context_;
    const JobFlags &flags_;
    std::string name_;
    // The user's file as it was read once, within its limit: the first pass
    // reads these bytes rather than opening the name again, so what was
    // checked (a regular file, not too large) is exactly what is converted,
    // whatever is put at that name meanwhile.
    std::string userBytes_;
    std::istringstream userFile_;
};

bool ItemValidation::run()
{
    if (!item_.selected)
        return true;
    trimFileName(item_);
    if (item_.fileName.empty()) {
        showMessage(context_.ui, "Please Enter Valid %s Filename.", item_.displayName.c_str());
        return false;
    }
    // The passes write the two temporary names; a user's file of that name
    // would be overwritten and then deleted.
    if (item_.fileName == item_.tempName || item_.fileName == item_.tempName + "2") {
        showAndLog(
            context_.ui, context_.log,
            formatText("Cannot validate %s. File '%s' is in use.", item_.displayName.c_str(), item_.fileName.c_str()));
        return false;
    }
    name_ = item_.fileName;
    if (!openUserFile())
        return false;
    context_.log.log("\n%s:\n", item_.displayName.c_str());
    item_.size = 0;
    if (userBytes_.empty()) {
        context_.log.log("Empty file not validated.\n");
        return true;
    }
    if (item_.restorePass1 && !runPass(item_.restorePass1))
        return false;
    if (item_.restorePass2 && !runPass(item_.restorePass2))
        return false;
    if (item_.restoreCheck && !runCheck(item_.restoreCheck))
        return false;
    if (item_.restoreFinal && !runFinal(item_.restoreFinal))
        return false;
    if (!open(false))
        return false;
    item_.measureSize();
    if (item_.size < 2)
        context_.log.log("%s file has no defined records. File not validated.\n", item_.displayName.c_str());
    else
        context_.log.log("Validated successfully.\n");
    return true;
}

bool ItemValidation::openUserFile()
{
    const std::string path = item_.filePath();
    item_.closeStreams();
    BoundedFile file = openItemFile(id_, path);
    std::error_code error;
    if (file.status() == BoundedFile::Status::Missing ||
        (file.status() == BoundedFile::Status::NotRegular && std::filesystem::is_directory(path, error))) {
        showMessage(context_.ui, "Unable to restore. File %s does not exist.", item_.fileName.c_str());
        return false;
    }
    if (!file.opened() || !file.readAll(userBytes_)) {
        context_.ui.showMessage("Unable to restore. " + file.refusal(item_.displayName));
        return false;
    }
    return true;
}

// The user's file is only ever read from the bytes read at the start; the
// temporary files the passes wrote are opened by name.
bool ItemValidation::open(bool withOutput)
{
    if (name_ != item_.fileName)
        return openPass(item_, name_, withOutput, flags_, context_.ui, context_.log);
    item_.closeStreams();
    userFile_.str(userBytes_);
    userFile_.clear();
    return !withOutput || openPassOutput(item_, name_, flags_, context_.ui, context_.log);
}

std::istream &ItemValidation::input()
{
    if (name_ == item_.fileName)
        return userFile_;
    return item_.stream;
}

bool ItemValidation::invalidFile()
{
    showMessage(context_.ui, "Invalid %s file. Please View Status Log.", item_.displayName.c_str());
    item_.closeStreams();
    return false;
}

bool ItemValidation::runPass(PassHandler pass)
{
    if (!open(true))
        return false;
    if (!pass(context_, input(), item_.passOutput)) {
        invalidFile();
        discardPassOutput(item_, name_);
        return false;
    }
    if (!closePass(item_, name_, flags_, context_.ui, context_.log))
        return false;
    advancePass(item_, name_);
    return true;
}

bool ItemValidation::runCheck(CheckHandler check)
{
    if (!open(false))
        return false;
    if (!check(context_, input()))
        return invalidFile();
    item_.closeStreams();
    return true;
}

// The last pass cannot refuse its input; its output is what the device gets.
bool ItemValidation::runFinal(PassHandler pass)
{
    if (!open(true))
        return false;
    pass(context_, input(), item_.passOutput);
    if (!closePass(item_, name_, flags_, context_.ui, context_.log))
        return false;
    advancePass(item_, name_);
    return true;
}

} // namespace

bool validateItem(ItemId id, DataItem &item, FormatContext &context, const JobFlags &flags)
{
    return ItemValidation(id, item, context, flags).run();
}

bool validateForRestore(ItemId id, DataItem &item, FormatContext &context, const JobFlags &flags)
{
    installRestoreHandlers(id, item);
    if (!validateItem(id, item, context, flags))
        return false;
    if ((id == Preferences || id == Folders) && item.size >= 2)
        item.size -= 2; // the check value goes to the device in the end-of-data request
    if (id == Memos)
        item.recordCount = context.textEntryCount;
    return true;
}

namespace {

// Some item's staging writes and deletes every temporary name; a user's file
// of such a name would be overwritten on the way.
bool namesTemporaryFile(ItemCatalogue &catalogue, FormatContext &context)
{
    const std::set<std::string> reserved = temporaryNames(catalogue);
    for (ItemId id : DeviceItemIds) {
        DataItem &item = catalogue.item(id);
        trimFileName(item);
        if (item.selected && reserved.count(item.fileName) != 0) {
            showAndLog(context.ui, context.log,
                       formatText("Cannot validate %s. File '%s' is in use.", item.displayName.c_str(),
                                  item.fileName.c_str()));
            return true;
        }
    }
    return false;
}

bool duplicateFiles(const ItemCatalogue &catalogue, UserInteraction &ui)
{
    for (size_t a = 0; a < std::size(DeviceItemIds); ++a) {
        const DataItem &first = catalogue.item(DeviceItemIds[a]);
        for (size_t b = a + 1; b < std::size(DeviceItemIds); ++b) {
            const DataItem &second = catalogue.item(DeviceItemIds[b]);
            if (first.selected && second.selected && !first.fileName.empty() &&
                sameFile(first.filePath(), second.filePath())) {
                ui.showMessage("Cannot restore. Duplicate filename selected.");
                return true;
            }
        }
    }
    return false;
}

} // namespace

bool validateRestoreItems(ItemCatalogue &catalogue, FormatContext &context, const JobFlags &flags)
{
    if (namesTemporaryFile(catalogue, context) || duplicateFiles(catalogue, context.ui))
        return false;
    for (ItemId id : DeviceItemIds) {
        if (!validateForRestore(id, catalogue.item(id), context, flags))
            return false;
    }
    return true;
}

} // namespace q57
