// SPDX-License-Identifier: MIT
#pragma once
// Checks of an item's file before a job starts, where the job's own messages
// would name only the bare file name (or nothing useful): a file whose folder
// is missing, and a folder given where a file is expected. Both are reported
// with the full path.

#include <string>

namespace q57 {
class UserInteraction;
} // namespace q57

namespace q57::cli {

// `fullPath` can be read by a restore (or a validation) of the item called
// `displayName`: false after "Unable to restore. File <path> does not exist."
// when its folder is missing or it is a folder. A missing file in an existing
// folder passes: the validation reports it as it always does.
bool restoreFileUsable(const std::string &fullPath, UserInteraction &ui);
// `fullPath` can be written by a backup: false after "Unable to backup <item>.
// Folder <folder> does not exist." or "Unable to backup <item>. <path> is a folder."
bool backupFileUsable(const std::string &fullPath, const std::string &displayName, UserInteraction &ui);

} // namespace q57::cli
