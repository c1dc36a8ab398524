// SPDX-License-Identifier: MIT
#include "jobs/BackupJob.h"

#include "app/AppSettings.h"
#include "app/StatusLog.h"
#include "app/UserInteraction.h"
#include "files/DurableFiles.h"
#include "formats/AddressBookFile.h"
#include "formats/DeviceBlockFile.h"
#include "formats/FormatContext.h"
#include "formats/MemosFile.h"
#include "formats/QuicktextFile.h"
#include "jobs/ItemStaging.h"
#include "session/DeviceSession.h"

#include <utility>

namespace q57 {

namespace {

// The read's failure code for an item file that cannot take the data.
constexpr uint8_t ItemFileNotWritten = 4;

void installBackupHandlers(ItemId id, DataItem &item)
{
    switch (id) {
    case Preferences: item.backupPass2 = preferencesToFile; break;
    case AddressBook:
        item.backupPass1 = writeAddressBookFile;
        item.backupPass2 = quoteAddressBookFields;
        break;
    case Folders: item.backupPass2 = foldersToFile; break;
    case Memos: item.backupPass1 = memosToFile; break;
    case Quicktext: item.backupPass1 = quicktextToFile; break;
    default: break;
    }
}

// How much of an item's staging the backup's release deletes.
int backupReleaseMode(ItemId id)
{
    return id == Preferences || id == Folders ? 1 : 2;
}

} // namespace

void deselectForAuxiliaryItems(ItemCatalogue &catalogue)
{
    if (!catalogue.item(TestFile).selected && !catalogue.item(File).selected)
        return;
    for (ItemId id : DeviceItemIds)
        catalogue.item(id).selected = false;
}

bool BackupJob::runBackupThread()
{
    const bool ok = runBackup();
    endBackup();
    return reportJobEnd(context_, ok, "Backup Completed Successfully.");
}

bool BackupJob::filesCollide(ItemId a, ItemId b) const
{
    const DataItem &first = item(a);
    const DataItem &second = item(b);
    return first.selected && second.selected && sameFile(first.filePath(), second.filePath());
}

bool BackupJob::duplicateNames() const
{
    for (size_t a = 0; a < std::size(DeviceItemIds); ++a) {
        for (size_t b = a + 1; b < std::size(DeviceItemIds); ++b) {
            if (filesCollide(DeviceItemIds[a], DeviceItemIds[b])) {
                context_.ui.showMessage("Cannot backup. Duplicate filename selected.");
                return true;
            }
        }
    }
    return false;
}

bool BackupJob::createAuxiliaryFile(ItemId id)
{
    DataItem &aux = item(id);
    if (!aux.selected)
        return true;
    aux.closeStreams();
    aux.stream.open(aux.filePath(), std::ios::out | std::ios::trunc | std::ios::binary);
    if (!aux.stream.is_open()) {
        showMessage(context_.ui, "Unable to backup %s. File '%s' is in use.", aux.displayName.c_str(),
                    aux.fileName.c_str());
        return false;
    }
    return true;
}

void BackupJob::collectFileNames()
{
    names_ = JobFileNames{};
    names_.temporaryNames = temporaryNames(context_.catalogue);
    for (ItemId id : DeviceItemIds) {
        if (item(id).selected)
            names_.itemFiles.insert(item(id).filePath());
    }
}

bool BackupJob::prepareDeviceItems()
{
    collectFileNames();
    for (ItemId id : DeviceItemIds) {
        DataItem &target = item(id);
        if (!target.selected)
            continue;
        if (!prepareBackupTarget(id, target, context_.ui, context_.log(), names_))
            return false;
        installBackupHandlers(id, target);
    }
    return true;
}

bool BackupJob::readAuxiliaryItems()
{
    for (ItemId id : {TestFile, File}) {
        if (!item(id).selected)
            continue;
        if (!context_.session.readItemFromDevice(item(id)) || !readTargetWritten(item(id)))
            return false;
    }
    return true;
}

// The read's bytes sit in the stream's buffer until it is flushed: only then
// does a full disk show.
bool BackupJob::readTargetWritten(DataItem &target)
{
    if (finishWriting(target.stream))
        return true;
    context_.catalogue.reportItemFailure(target, ItemFileNotWritten);
    return false;
}

// Preferences and Folders files end in the check value of the read, low byte
// first, when the read delivered anything.
bool BackupJob::backUpItem(ItemId id)
{
    DataItem &target = item(id);
    if (!target.selected)
        return true;
    const bool keepsCheckValue = id == Preferences || id == Folders;
    DeviceSession &session = context_.session;
    if (keepsCheckValue)
        session.setDeviceCheckValue(0);
    if (!session.readItemFromDevice(target))
        return false;
    if (keepsCheckValue && target.stream.tellp() > 0) {
        const uint16_t check = session.deviceCheckValue();
        target.stream.put(static_cast<char>(check & 0xFF));
        target.stream.put(static_cast<char>(check >> 8));
    }
    return finishItemBackup(target);
}

bool BackupJob::runBackup()
{
    if (duplicateNames())
        return false;
    deselectForAuxiliaryItems(context_.catalogue);
    if (!createAuxiliaryFile(TestFile) || !createAuxiliaryFile(File))
        return false;
    if (!prepareDeviceItems() || abortRequested())
        return false;
    if (!context_.session.connectDevice() || abortRequested())
        return false;
    context_.ui.statusNotice(StatusBackupInProgress);
    if (!readAuxiliaryItems())
        return false;
    for (ItemId id : DeviceItemIds) {
        if (abortRequested() || !backUpItem(id))
            return false;
    }
    return true;
}

bool BackupJob::abortRequested() const
{
    return context_.flags().abortRequested;
}

bool BackupJob::runPass(DataItem &target, PassHandler pass, std::string &name)
{
    if (!openPass(target, name, true, context_.flags(), context_.ui, context_.log()))
        return false;
    pass(context_.formats, target.stream, target.passOutput); // a backup pass reports nothing
    if (!closePass(target, name, context_.flags(), context_.ui, context_.log()))
        return false;
    advancePass(target, name);
    return true;
}

bool BackupJob::finishItemBackup(DataItem &target)
{
    std::string name = target.tempName;
    if (!target.selected)
        return true;
    if (target.stream.is_open() && !readTargetWritten(target))
        return false;
    target.closeStreams();
    if (target.backupPass1 && !runPass(target, target.backupPass1, name))
        return false;
    if (target.backupPass2 && !runPass(target, target.backupPass2, name))
        return false;
    return commitBackupFile(target, name, context_.ui, context_.log());
}

void BackupJob::endBackup()
{
    context_.session.closeDeviceLink();
    for (ItemId id : {TestFile, File}) {
        if (item(id).selected)
            item(id).closeStreams();
    }
    for (ItemId id : DeviceItemIds)
        item(id).releaseItem(backupReleaseMode(id));
}

} // namespace q57
