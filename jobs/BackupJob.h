// SPDX-License-Identifier: MIT
#pragma once
// "Backup To PC": copies the selected device items into files. Every file
// question (empty name, duplicates, overwrite, in use) is settled before the
// device is contacted; then each item is read, converted through its backup
// passes and committed before the next one is read. The job stops at the first
// failure, whose step has already told the user why.

#include "app/ItemCatalogue.h"
#include "jobs/BackupStaging.h"
#include "jobs/JobContext.h"

namespace q57 {

class BackupJob {
public:
    explicit BackupJob(const JobContext &context) : context_(context) {}

    // The worker thread's whole run: runBackup, endBackup, then the report.
    // True when the backup succeeded and was not abandoned.
    bool runBackupThread();
    // True when every selected item was stored.
    bool runBackup();
    // Closes the link, the auxiliary files' streams and every temporary file;
    // harmless after any run, also one that never opened the link.
    void endBackup();

    // Both selected and naming the same file (the same path once "." and ".."
    // are resolved, or one file on disk).
    bool filesCollide(ItemId a, ItemId b) const;
    // Runs the item's backup passes over what the read left, then commits it.
    bool finishItemBackup(DataItem &item);

private:
    DataItem &item(ItemId id) const { return context_.catalogue.item(id); }
    bool duplicateNames() const;
    bool createAuxiliaryFile(ItemId id);
    bool prepareDeviceItems();
    bool readAuxiliaryItems();
    bool backUpItem(ItemId id);
    bool readTargetWritten(DataItem &item);
    bool runPass(DataItem &item, PassHandler pass, std::string &name);
    bool abortRequested() const;
    void collectFileNames();

    JobContext context_;
    JobFileNames names_;
};

// Turns the five device items off when Test File or File is selected: those
// two take a job to themselves.
void deselectForAuxiliaryItems(ItemCatalogue &catalogue);

} // namespace q57
