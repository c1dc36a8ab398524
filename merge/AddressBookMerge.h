// SPDX-License-Identifier: MIT
#pragma once
// The address book merge: one staging file built from the Q57 file, the W300
// file or both (renumbered from 16), handed to the preview library, and the
// outcome placed where the user keeps it. Headless: messages go through the
// UserInteraction, files are the catalogue items' files.
//
// The files in the temporary folder have fixed names that every job and merge
// of this user shares, so the caller holds the per-user job lock (takeMergeLock)
// from the staging to the end of the placing. Their names, and the preview
// library's, are the ones the library agrees to (preview/PreviewContract.h).

#include "preview/PreviewContract.h"

#include <string>
#include <vector>

namespace q57 {

class ItemCatalogue;
class JobLock;
class StatusLog;
class UserInteraction;

// What the staging step reads and the preview hands over.
enum StagingMode : int {
    PreviewQ57 = 1,  // the Q57 Address Book file alone
    PreviewW300 = 2, // the W300 Address Book file alone
    MergeBoth = 3,   // the Q57 file, then the W300 file, renumbered
};

// What the merge works with; all of it outlives the calls.
struct MergeServices {
    ItemCatalogue &catalogue; // the Q57, W300 and Merged Address Book items
    UserInteraction &ui;
    StatusLog &log;
    std::string tempDirectory;               // private temporary folder, ending in "/"
    std::string lockDirectory;               // where the job lock lives (AppSettings::lockDirectory)
    std::vector<std::string> libraryFolders; // where the library is looked for, in order, each ending in "/"
};

// Takes the per-user job lock in the lock folder for one merge action.
// False after "Another Q57 Backup job is running (pid N)." has been shown.
bool takeMergeLock(JobLock &lock, const MergeServices &services);

// Builds "~merge.tmp" from the mode's sources. False when a file could not be
// opened, read or written, after the message naming it; every file is closed.
// Mode 3 shows "Contact record over 154." when records were dropped, and
// still returns true.
bool stageAddressBooks(const MergeServices &services, int mode);

// Shows the staging file in the preview library and places what the user
// saved: mode 3 as the Merged Address Book file beside the Q57 file, modes 1
// and 2 over the item's own file (its former content kept first as a versioned
// copy "<file name>.<UTC time>.bak" beside it). A preview the user cancelled
// (GlimpsaShow not 0) places nothing, and neither does a preview of one file
// saved unchanged: the user's file stays byte for byte. True only when a merge
// (mode 3) has been placed.
// The user's file is replaced whole (mode and symbolic links kept); when that
// fails, the message names the file and where the outcome was kept (the result
// file stays in the temporary folder). Without a usable library: "The
// libGlimpsa.so was not found.", and the staging file stays; a library that
// others could have planted (a file or folder on its way writable by others
// or owned by another user than root) is not loaded: "The libGlimpsa.so was
// refused: '<path>' is writable by others." (or "is owned by another user.").
bool showInPreviewLibrary(const MergeServices &services, int mode);

// Mode 3 without a preview: the staging file itself becomes the Merged Address
// Book file. Returns the path it was written to, or "" after a message (the
// staging file then stays when it was built).
std::string placeMergeWithoutPreview(const MergeServices &services);

// The merged file's path: the Q57 item's folder + the Merged item's file name.
std::string mergedFilePath(const ItemCatalogue &catalogue);

} // namespace q57
