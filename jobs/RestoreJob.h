// SPDX-License-Identifier: MIT
#pragma once
// "Restore To Q57": validates and converts every selected file first, without
// the device and without changing the user's files; only when all have passed
// does it connect and write each item. Empty files are skipped, not refused,
// and the closing message says so.

#include "app/ItemCatalogue.h"
#include "jobs/JobContext.h"

namespace q57 {

class RestoreJob {
public:
    explicit RestoreJob(const JobContext &context) : context_(context) {}

    // The worker thread's whole run: runRestore, endRestore, then the report.
    // True when the restore succeeded and was not abandoned.
    bool runRestoreThread();
    // The validation phase, then the writing phase; true when every item was written.
    bool runRestore();
    // Closes the status log and the link, the streams and every temporary file.
    void endRestore();

private:
    DataItem &item(ItemId id) const { return context_.catalogue.item(id); }
    bool openAuxiliaryFile(ItemId id);
    bool revalidateMemosForLevelTwo();
    bool writeItems();
    bool anyEmpty() const;
    bool abortRequested() const;

    JobContext context_;
};

} // namespace q57
