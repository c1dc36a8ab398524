// SPDX-License-Identifier: MIT
#include "merge/MergedFilePlacement.h"

#include "app/ItemCatalogue.h"
#include "app/UserInteraction.h"
#include "jobs/BackupStaging.h"
#include "jobs/DurableFiles.h"
#include "merge/AddressBookMerge.h"

#include <sys/stat.h>

namespace q57 {

namespace {

bool exists(const std::string &path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

} // namespace

std::string mergedFilePath(const ItemCatalogue &catalogue)
{
    return catalogue.item(Q57AddressBook).directory + catalogue.item(MergedAddressBook).fileName;
}

bool placeOutcome(const std::string &outcome, const std::string &target, const MergeServices &services)
{
    if (replaceFile(outcome, target) == ReplaceResult::Replaced)
        return true;
    // What the user kept in the preview is not lost with the failure.
    showMessage(services.ui, "Unable to save the address book to '%s'.\nThe address book is kept in '%s'.",
                target.c_str(), outcome.c_str());
    return false;
}

bool placeOverItemFile(const std::string &outcome, const DataItem &item, const MergeServices &services)
{
    const std::string target = item.filePath();
    const std::string copy = services.tempDirectory + backupCopyName(item.fileName);
    if (exists(target) && !copyFileDurably(target, copy)) {
        showMessage(services.ui,
                    "Unable to save the address book to '%s'. Cannot create backup copy '%s'.\n"
                    "The address book is kept in '%s'.",
                    target.c_str(), copy.c_str(), outcome.c_str());
        return false;
    }
    return placeOutcome(outcome, target, services);
}

std::string placeMergeWithoutPreview(const MergeServices &services)
{
    if (!stageAddressBooks(services, MergeBoth))
        return {};
    const std::string target = mergedFilePath(services.catalogue);
    return placeOutcome(services.tempDirectory + StagingFileName, target, services) ? target : std::string();
}

} // namespace q57
