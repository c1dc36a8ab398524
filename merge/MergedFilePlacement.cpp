// SPDX-License-Identifier: MIT
#include "merge/MergedFilePlacement.h"

#include "app/ItemCatalogue.h"
#include "app/UserInteraction.h"
#include "files/BoundedFile.h"
#include "files/DurableFiles.h"
#include "formats/FileSizeLimits.h"
#include "merge/AddressBookMerge.h"

#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <fstream>

namespace q57 {

namespace {

bool exists(const std::string &path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

// A name with anything at all there, a dangling link too.
bool taken(const std::string &path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

// "<file name>.<UTC time>.bak" beside the file, the first such name not taken.
std::string versionedCopyPath(const DataItem &item)
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    char stamp[32] = "";
    if (::gmtime_r(&now, &utc) != nullptr)
        std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &utc);
    const std::string stem = item.filePath() + "." + stamp;
    std::string path = stem + ".bak";
    for (int n = 2; taken(path); ++n)
        path = stem + "-" + std::to_string(n) + ".bak";
    return path;
}

// The user's file is read as every user's file is (never a FIFO or device),
// the copy created new, and both the copy and its folder entry are on disk
// before the file is replaced.
bool keepVersionedCopy(const std::string &target, const std::string &copy, const std::string &folder)
{
    BoundedFile file(target, AddressBookFileLimit);
    std::string bytes;
    if (!file.readAll(bytes) || !writeNewFile(copy, bytes) || !flushFileToDisk(copy)) {
        ::unlink(copy.c_str());
        return false;
    }
    flushFolderToDisk(folder);
    return true;
}

} // namespace

bool writeNewFile(const std::string &path, const std::string &bytes)
{
    if (!createFreshFile(path))
        return false;
    std::fstream file(path, std::ios::out | std::ios::binary);
    file << bytes;
    return finishWriting(file);
}

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
    const std::string copy = versionedCopyPath(item);
    if (exists(target) && !keepVersionedCopy(target, copy, item.directory)) {
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
