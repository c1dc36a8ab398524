// SPDX-License-Identifier: MIT
#pragma once
// Starts the three jobs for a front end (the window or the command line) and
// owns the worker thread they run on. The front end hands over its choices;
// the runner does the job preparation (status log opened and emptied, the
// items set from the choices, progress reset, the flags), runs the job on its
// own thread and lets the front end ask for an abort. The job reaches the front
// end only through the UserInteraction of the context, synchronously, from its
// thread: messages, questions and the status, progress, job-end and quit notices.
//
// At most one job runs at a time, also across processes: a job holds the
// user's job lock (JobLock) from its start until its thread ends. The flags
// stay in AppSettings::runtime.jobFlags, where the rest of the program reads them.
//
// Starting a job is safe from any notice and at any moment: the previous
// job's thread is never waited for there (it may itself be waiting for the
// front end, in its completion message, or be the calling thread). A thread
// that ends after a newer job started leaves that job's state alone.

#include "app/ItemCatalogue.h"
#include "app/JobLock.h"
#include "jobs/BackupJob.h"
#include "jobs/ClearAddressBookJob.h"
#include "jobs/JobContext.h"
#include "jobs/RestoreJob.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

namespace q57 {

// One row of the front end: whether the item is included, and its file's full path.
struct ItemChoice {
    bool included = false;
    std::string fullPath;
};

// What a backup or restore is started with.
struct JobChoices {
    std::array<ItemChoice, ItemCatalogue::DeviceItemCount> items{}; // Preferences to Quicktext
    bool selfTest = false;                                          // the Test File item
    bool fileRequest = false;                                       // the File item
    std::string deviceFileName;                                     // the device file a File backup asks for
};

class JobRunner {
public:
    enum class Job { Backup, Restore };

    explicit JobRunner(const JobContext &context);
    // Waits for every job thread to end.
    ~JobRunner();
    JobRunner(const JobRunner &) = delete;
    JobRunner &operator=(const JobRunner &) = delete;

    // The start functions run the preparation on the calling thread, which
    // includes the status notice "Validating File" and the progress reset: a
    // front end's interaction must take notices from its own thread too.
    //
    // Backup To PC / Restore To Q57. False when no job was started: a job is
    // running ("... in progress" shown), or none of the five items is included
    // ("Please select item to %s." shown), or another process runs a job
    // ("Another Q57 Backup job is running (pid N)." shown; nothing touched).
    bool startBackupOrRestore(Job job, const JobChoices &choices);
    // Clear Address Book, with the item choices of the last job. False when a job
    // is running here or in another process.
    bool startClearAddressBook();
    // Called on the job's thread when the clear question is declined.
    void setClearDeclinedHandler(std::function<void()> handler) { clearDeclined_ = std::move(handler); }
    // Called on the job's thread as its very last step, after busy() turned
    // false: lets a front end that waits for the job wake at once.
    void setThreadEndedHandler(std::function<void()> handler) { threadEnded_ = std::move(handler); }

    // The user confirmed quitting during a job: the job stops at its next
    // checkpoint and ends with the quit notice.
    void requestAbort();
    // True until the job's thread has done its last step.
    bool busy() const { return threadActive_; }
    // Waits until every job thread has ended. Not from a notice: the notice's
    // own thread would wait for itself.
    void wait();
    // The result of the last job: true when it succeeded (false after an abort
    // or a declined clear).
    bool succeeded() const { return succeeded_; }

    // Closing the program: releases what the last backup or restore left open
    // (not after clearing the address book).
    void releaseLastJob();

private:
    bool refuseStart();
    void prepareJob(const JobChoices *choices);
    void launch(std::function<bool()> run);
    void finishThread(uint64_t generation, bool ok);
    void setItems(const JobChoices &choices);

    JobContext context_;
    BackupJob backup_;
    RestoreJob restore_;
    ClearAddressBookJob clear_;
    std::function<void()> clearDeclined_;
    std::function<void()> threadEnded_;
    JobLock lock_;

    // The job threads run detached; these count them and tell the newest.
    std::mutex mutex_;
    std::condition_variable threadsEnded_;
    int liveThreads_ = 0;
    uint64_t generation_ = 0;
    std::atomic<bool> threadActive_{false};
    std::atomic<bool> succeeded_{false};
};

} // namespace q57
