// SPDX-License-Identifier: MIT
#pragma once
// The backup's side of an item's files: preparing the target before the device
// is contacted, and putting the finished temporary file in place at the end.
//
// The user's file is never left truncated or partial, whenever the process
// stops: an existing file is first copied, durably, to its ".bak" copy; the
// finished temporary file is flushed to disk and then renamed over the item's
// file in one step (keeping its permissions and any link leading to it), and
// the folder is flushed so the rename itself survives a power cut. A ".bak"
// copy that cannot be made stops the item before anything else happens to its
// file.

#include "app/ItemCatalogue.h"

#include <functional>
#include <set>
#include <string>

namespace q57 {

struct DataItem;
class StatusLog;
class UserInteraction;

// The durable steps of the staging, in the order they happen; an observer sees
// each one right after it is done (tests stop the process there).
enum class StagingStep {
    BackupCopyWritten, // the old file copied to the second temporary file and flushed
    BackupCopyPlaced,  // that copy renamed to the ".bak" name
    TempFileFlushed,   // the finished temporary file is on disk
    FileReplaced,      // renamed over the item's file
    FolderFlushed,     // the folder's entry is on disk
};
using StagingObserver = std::function<void(StagingStep)>;

// What one backup job's items know of each other's files, so that no item's
// staging overwrites another's file or ".bak" copy.
struct JobFileNames {
    std::set<std::string> itemFiles;      // every selected item's file, as a full path
    std::set<std::string> temporaryNames; // every item's temporary file names (bare names)
    std::set<std::string> copiesMade;     // the ".bak" copies made so far in this job
};

// The ".bak" name of a file: its name without the last four characters, then
// ".bak" (book.adr gives book.bak; four characters or fewer give ".bak").
std::string backupCopyName(const std::string &fileName);

// Where the ".bak" copy of the item's file goes in this job (a full path): its
// ".bak" name, unless that is the file itself, another item's file or a copy
// this job already made; then "<file name>.bak" (again extended by ".bak"
// while that is taken). Temporary names never end in ".bak".
std::string backupCopyPath(const DataItem &item, const JobFileNames &names);

// Checks the item's file name, asks before overwriting an existing file, makes
// its ".bak" copy and leaves the item's stream open for writing on the new,
// empty first temporary file. False after the reason has been shown (and
// logged). An existing file is read through BoundedFile with the item's limit:
// a FIFO, a device, a folder or a file over the limit at the name is refused
// ("Unable to backup <item>. " and BoundedFile's reason).
bool prepareBackupTarget(ItemId id, DataItem &item, UserInteraction &ui, StatusLog &log, JobFileNames &names,
                         const StagingObserver &observer = {});

// Puts the finished temporary file `name` in place of the item's file and logs
// "Backup successful.\n". False after the reason has been shown and logged;
// the item's file is unchanged then.
bool commitBackupFile(DataItem &item, const std::string &name, UserInteraction &ui, StatusLog &log,
                      const StagingObserver &observer = {});

} // namespace q57
