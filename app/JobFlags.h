// SPDX-License-Identifier: MIT
#pragma once
// The flags shared by the front end's thread and a job's worker thread.
// Each has one writer at a time; atomics make the hand-over visible at once.

#include <atomic>

namespace q57 {

struct JobFlags {
    std::atomic<bool> backupMode{true}; // the current or last job is a backup
    std::atomic<bool> jobRunning{false};
    std::atomic<bool> abortRequested{false}; // the user confirmed quitting during a job
    std::atomic<bool> clearMode{false};      // the running job clears the address book
    std::atomic<bool> quitQuestionOpen{false};

    // "Clearing", "Backup" or "Restore": the running job's name in messages.
    const char *jobName() const
    {
        if (clearMode)
            return "Clearing";
        return backupMode ? "Backup" : "Restore";
    }
};

} // namespace q57
