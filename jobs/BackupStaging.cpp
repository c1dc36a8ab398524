#include "jobs/BackupStaging.h"

#include "app/DataItem.h"
#include "app/StatusLog.h"
#include "app/UserInteraction.h"
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

// Flushes a file or folder to disk; false when it cannot be opened or flushed.
bool flushToDisk(const std::string &path, int openFlags)
{
    const int fd = ::open(path.c_str(), openFlags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool flushed = ::fsync(fd) == 0;
    return ::close(fd) == 0 && flushed;
}

bool flushFile(const std::string &path)
{
    return flushToDisk(path, O_RDONLY);
}

// The folder's entries (a rename) reach the disk only with the folder itself.
// Some file systems refuse to flush a folder; the rename has happened anyway.
void flushFolder(const std::string &directory)
{
    flushToDisk(directory.empty() ? "." : directory, O_RDONLY | O_DIRECTORY);
}

// An existing item file that cannot be opened for writing is in use. Opening
// for appending changes nothing, and a missing file is not created: until the
// rename, the folder holds exactly what it held before.
bool existingFileWritable(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    return errno == ENOENT;
}

// Copies the item's file to its ".bak" name so that the copy is whole on disk
// before it replaces an older copy: it is written as the second temporary
// file, flushed, and renamed.
bool makeBackupCopy(const DataItem &item, const std::string &copyName, const StagingObserver &observer)
{
    const std::string staged = item.tempPath2();
    std::error_code error;
    std::filesystem::copy_file(item.filePath(), staged, std::filesystem::copy_options::overwrite_existing,
                               error);
    if (error || !flushFile(staged)) {
        std::remove(staged.c_str());
        return false;
    }
    notify(observer, StagingStep::BackupCopyWritten);
    if (std::rename(staged.c_str(), (item.directory + copyName).c_str()) != 0) {
        std::remove(staged.c_str());
        return false;
    }
    flushFolder(item.directory);
    notify(observer, StagingStep::BackupCopyPlaced);
    return true;
}

// An existing target: the overwrite question, the ".bak" copy and the in-use test.
bool settleExistingTarget(DataItem &item, UserInteraction &ui, StatusLog &log, const StagingObserver &observer)
{
    if (!ui.askOkCancel(formatText("File %s already exists.\nPress OK to overwrite.", item.fileName.c_str())))
        return false; // the stream stays open until the job's release
    const std::string copyName = backupCopyName(item.fileName);
    if (!makeBackupCopy(item, copyName, observer)) {
        showAndLog(ui, log, formatText("Unable to backup %s. Cannot create backup copy '%s'.",
                                       item.displayName.c_str(), copyName.c_str()));
        return false;
    }
    item.closeStreams();
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

bool prepareBackupTarget(DataItem &item, UserInteraction &ui, StatusLog &log, const StagingObserver &observer)
{
    item.closeStreams();
    trimFileName(item);
    if (item.fileName.empty()) {
        showMessage(ui, "Please Enter a %s Filename.", item.displayName.c_str());
        return false;
    }
    // The staging writes and deletes the two temporary names: a user's file of
    // either name would be lost on the way.
    if (item.fileName == item.tempName || item.fileName == item.tempName + "2") {
        showAndLog(ui, log, formatText("Cannot backup %s. File '%s' is in use.", item.displayName.c_str(),
                                       item.fileName.c_str()));
        return false;
    }
    item.stream.open(item.filePath(), std::ios::in | std::ios::binary);
    if (item.stream.is_open() && !settleExistingTarget(item, ui, log, observer))
        return false;
    item.closeStreams();

    std::remove(item.tempPath().c_str());
    item.stream.open(item.tempPath(), std::ios::out | std::ios::trunc | std::ios::binary);
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
    if (!existingFileWritable(item.filePath()) || !flushFile(finished)) {
        showMessage(ui, "Unable to backup to file. '%s' is in use.", item.fileName.c_str());
        log.log("Unable to backup. File '%s' is in use.", item.fileName.c_str());
        return false;
    }
    notify(observer, StagingStep::TempFileFlushed);
    if (std::rename(finished.c_str(), item.filePath().c_str()) != 0) {
        showMessage(ui, "Unable to backup %s. File '%s' is in use [2].", item.displayName.c_str(),
                    item.fileName.c_str());
        log.log("Unable to backup. File '%s' is in use [2].", item.fileName.c_str());
        return false;
    }
    notify(observer, StagingStep::FileReplaced);
    flushFolder(item.directory);
    notify(observer, StagingStep::FolderFlushed);
    log.log("Backup successful.\n");
    return true;
}

} // namespace q57
