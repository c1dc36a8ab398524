// SPDX-License-Identifier: MIT
#include "jobs/BackupStaging.h"

#include "app/DataItem.h"
#include "app/StatusLog.h"
#include "app/UserInteraction.h"
#include "files/DurableFiles.h"
#include "jobs/ItemFileLimits.h"
#include "jobs/ItemStaging.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace q57 {

namespace {

void notify(const StagingObserver &observer, StagingStep step)
{
    if (observer)
        observer(step);
}

// An existing item file that cannot be opened for writing is in use. Opening
// for appending changes nothing, and a missing file is not created: until the
// rename, the folder holds exactly what it held before. O_NONBLOCK: a FIFO put
// at the name meanwhile would otherwise wait for a reader.
bool existingFileWritable(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    return errno == ENOENT;
}

std::string baseName(const std::string &path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool copyNameTaken(const DataItem &item, const std::string &path, const JobFileNames &names)
{
    return path == item.filePath() || names.itemFiles.count(path) != 0 || names.copiesMade.count(path) != 0;
}

// Copies the item's file to its ".bak" path so that the copy is whole on disk
// before it replaces an older copy: it is written as the second temporary
// file, flushed, and renamed. `existing` is the item's file as it was checked.
bool makeBackupCopy(const DataItem &item, BoundedFile &existing, const std::string &copyPath,
                    const StagingObserver &observer)
{
    const std::string staged = item.tempPath2();
    if (!copyFileDurably(existing.descriptor(), staged))
        return false;
    notify(observer, StagingStep::BackupCopyWritten);
    if (std::rename(staged.c_str(), copyPath.c_str()) != 0) {
        ::unlink(staged.c_str());
        return false;
    }
    flushFolderToDisk(item.directory);
    notify(observer, StagingStep::BackupCopyPlaced);
    return true;
}

// An existing target: the overwrite question, the ".bak" copy and the in-use test.
bool settleExistingTarget(DataItem &item, BoundedFile &existing, UserInteraction &ui, StatusLog &log,
                          JobFileNames &names, const StagingObserver &observer)
{
    if (!ui.askOkCancel(formatText("File %s already exists.\nPress OK to overwrite.", item.fileName.c_str())))
        return false; // the stream stays open until the job's release
    const std::string copyPath = backupCopyPath(item, names);
    const std::string copyName = baseName(copyPath);
    if (!makeBackupCopy(item, existing, copyPath, observer)) {
        showAndLog(ui, log,
                   formatText("Unable to backup %s. Cannot create backup copy '%s'.", item.displayName.c_str(),
                              copyName.c_str()));
        return false;
    }
    names.copiesMade.insert(copyPath);
    if (copyName != backupCopyName(item.fileName))
        log.log("Backup copy of '%s' kept as '%s'.\n", item.fileName.c_str(), copyName.c_str());
    existing.close();
    if (!existingFileWritable(item.filePath())) {
        showAndLog(ui, log, formatText("Unable to backup. '%s' is in use.", item.fileName.c_str()));
        return false;
    }
    return true;
}

} // namespace

std::string backupCopyName(const std::string &fileName)
{
    return (fileName.size() > 4 ? fileName.substr(0, fileName.size() - 4) : std::string()) + ".bak";
}

std::string backupCopyPath(const DataItem &item, const JobFileNames &names)
{
    std::string path = item.directory + backupCopyName(item.fileName);
    if (!copyNameTaken(item, path, names))
        return path;
    path = item.filePath() + ".bak";
    while (copyNameTaken(item, path, names))
        path += ".bak";
    return path;
}

bool prepareBackupTarget(ItemId id, DataItem &item, UserInteraction &ui, StatusLog &log, JobFileNames &names,
                         const StagingObserver &observer)
{
    item.closeStreams();
    trimFileName(item);
    if (item.fileName.empty()) {
        showMessage(ui, "Please Enter a %s Filename.", item.displayName.c_str());
        return false;
    }
    // The staging writes and deletes the temporary names: a user's file of
    // such a name would be lost on the way.
    if (item.fileName == item.tempName || item.fileName == item.tempName + "2" ||
        names.temporaryNames.count(item.fileName) != 0) {
        showAndLog(
            ui, log,
            formatText("Cannot backup %s. File '%s' is in use.", item.displayName.c_str(), item.fileName.c_str()));
        return false;
    }
    // The existing file is read for its ".bak" copy: a FIFO, a device or a
    // file no device could have written is refused before anything waits on it.
    // A folder goes on to the question, and its copy fails as it always did.
    BoundedFile existing = openItemFile(id, item.filePath());
    std::error_code error;
    const bool folder = std::filesystem::is_directory(item.filePath(), error);
    if (existing.status() != BoundedFile::Status::Missing && !existing.opened() && !folder) {
        showAndLog(ui, log, "Unable to backup " + item.displayName + ". " + existing.refusal(item.displayName));
        return false;
    }
    if ((existing.opened() || folder) && !settleExistingTarget(item, existing, ui, log, names, observer))
        return false;
    existing.close();

    if (createFreshFile(item.tempPath()))
        item.stream.open(item.tempPath(), std::ios::out | std::ios::binary);
    if (!item.stream.is_open()) {
        showAndLog(ui, log,
                   formatText("Cannot create temporary file '%s'. File may be in use.", item.tempName.c_str()));
        return false;
    }
    return true;
}

bool commitBackupFile(DataItem &item, const std::string &name, UserInteraction &ui, StatusLog &log,
                      const StagingObserver &observer)
{
    item.closeStreams();
    const std::string finished = item.directory + name;
    const auto inUse = [&] {
        showMessage(ui, "Unable to backup to file. '%s' is in use.", item.fileName.c_str());
        log.log("Unable to backup. File '%s' is in use.", item.fileName.c_str());
        return false;
    };
    if (!existingFileWritable(item.filePath()))
        return inUse();
    const ReplaceResult result = replaceFile(finished, item.filePath(), [&](ReplaceStep step) {
        static constexpr StagingStep matching[] = {StagingStep::TempFileFlushed, StagingStep::FileReplaced,
                                                   StagingStep::FolderFlushed};
        notify(observer, matching[static_cast<int>(step)]);
    });
    if (result == ReplaceResult::NotFlushed)
        return inUse();
    if (result == ReplaceResult::NotRenamed) {
        showMessage(ui, "Unable to backup %s. File '%s' is in use [2].", item.displayName.c_str(),
                    item.fileName.c_str());
        log.log("Unable to backup. File '%s' is in use [2].", item.fileName.c_str());
        return false;
    }
    log.log("Backup successful.\n");
    return true;
}

} // namespace q57
