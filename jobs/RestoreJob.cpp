// SPDX-License-Identifier: MIT
#include "jobs/RestoreJob.h"

#include "app/AppSettings.h"
#include "app/StatusLog.h"
#include "app/UserInteraction.h"
#include "formats/FormatContext.h"
#include "jobs/BackupJob.h"
#include "jobs/RestoreValidation.h"
#include "session/DeviceSession.h"

namespace q57 {

bool RestoreJob::runRestoreThread()
{
    const bool ok = runRestore();
    endRestore();
    return reportJobEnd(context_, ok,
                        anyEmpty()
                            ? "Restore Completed. Some files are empty and not restored.\nPlease View Status Log."
                            : "Restore Completed Successfully.");
}

bool RestoreJob::anyEmpty() const
{
    for (ItemId id : {TestFile, File, Preferences, AddressBook, Folders, Memos, Quicktext}) {
        if (item(id).isEmptyForRestore())
            return true;
    }
    return false;
}

// Test File and File go to the device as they are, without validation.
bool RestoreJob::openAuxiliaryFile(ItemId id)
{
    DataItem &aux = item(id);
    if (!aux.selected)
        return true;
    aux.closeStreams();
    aux.stream.open(aux.filePath(), std::ios::in | std::ios::binary);
    if (!aux.stream.is_open())
        return false;
    aux.measureSize();
    return true;
}

// A level-2 device takes shorter memo labels: the memos are converted again
// for it. Their record count stays as the first validation found it.
bool RestoreJob::revalidateMemosForLevelTwo()
{
    if (!context_.formats.deviceLevelTwo)
        return true;
    DataItem &memos = item(Memos);
    memos.releaseItem(restoreReleaseMode(Memos));
    return validateItem(Memos, memos, context_.formats, context_.flags());
}

bool RestoreJob::writeItems()
{
    DeviceSession &session = context_.session;
    const std::pair<ItemId, uint32_t> writes[] = {
        {TestFile, item(TestFile).size},
        {File, item(File).size},
        {Preferences, item(Preferences).size},
        {AddressBook, item(AddressBook).recordCount},
        {Folders, 0},
        {Memos, 0},
        {Quicktext, item(Quicktext).recordCount},
    };
    for (const auto &[id, total] : writes) {
        if (abortRequested() || !session.writeItemToDevice(item(id), total))
            return false;
    }
    return true;
}

bool RestoreJob::abortRequested() const
{
    return context_.flags().abortRequested;
}

bool RestoreJob::runRestore()
{
    StatusLog &log = context_.log();
    context_.formats.deviceLevelTwo = false;
    log.log("====================\n");
    log.log("Validating Files....\n");
    log.log("====================\n");
    deselectForAuxiliaryItems(context_.catalogue);
    if (!openAuxiliaryFile(TestFile) || !openAuxiliaryFile(File))
        return false;
    if (!validateRestoreItems(context_.catalogue, context_.formats, context_.flags()) || abortRequested())
        return false;
    const bool auxiliary = item(TestFile).selected || item(File).selected;
    if (!auxiliary && context_.catalogue.selectionMask() == 0) {
        context_.ui.showMessage("All files selected are empty. Restore operation not started.");
        return false;
    }
    if (!context_.session.connectDevice() || abortRequested())
        return false;
    if (!revalidateMemosForLevelTwo() || abortRequested())
        return false;
    context_.ui.statusNotice(StatusRestoreInProgress);
    log.log("\n===================\n");
    log.log("Restoring Files....\n");
    log.log("===================\n\n");
    return writeItems();
}

void RestoreJob::endRestore()
{
    context_.log().close();
    context_.session.closeDeviceLink();
    for (ItemId id : {Preferences, AddressBook, Folders, Memos, Quicktext, TestFile, File})
        item(id).releaseItem(restoreReleaseMode(id));
}

} // namespace q57
