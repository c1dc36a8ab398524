#pragma once
// Starts the three jobs for a front end (the window or the command line) and
// owns the worker thread they run on. The front end hands over its choices;
// the runner does the job preparation (status log opened and emptied, the
// items set from the choices, progress reset, the flags), runs the job on its
// own thread and lets the front end ask for an abort. The job reaches the front
// end only through the UserInteraction of the context, synchronously, from its
// thread: messages, questions and the status, progress, job-end and quit notices.
//
// At most one job runs at a time. The flags stay in AppSettings::jobFlags, where
// the rest of the program reads them.

#include "app/ItemCatalogue.h"
#include "jobs/BackupJob.h"
#include "jobs/ClearAddressBookJob.h"
#include "jobs/JobContext.h"
#include "jobs/RestoreJob.h"

#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace q57 {

// One row of the front end: whether the item is included, and its file's full path.
struct ItemChoice {
    bool included = false;
    std::string fullPath;
};

// What a backup or restore is started with.
struct JobChoices {
    std::array<ItemChoice, ItemCatalogue::DeviceItemCount> items{}; // Preferences to Quicktext
    bool selfTest = false;      // the Test File item
    bool fileRequest = false;   // the File item
    std::string deviceFileName; // the device file a File backup asks for
};

class JobRunner {
public:
    enum class Job { Backup, Restore };

    explicit JobRunner(const JobContext &context);
    // Waits for a running job's thread.
    ~JobRunner();
    JobRunner(const JobRunner &) = delete;
    JobRunner &operator=(const JobRunner &) = delete;

    // The start functions run the preparation on the calling thread, which
    // includes the status notice "Validating File" and the progress reset: a
    // front end's interaction must take notices from its own thread too.
    //
    // Backup To PC / Restore To Q57. False when no job was started: a job is
    // running ("... in progress" shown), or none of the five items is included
    // ("Please select item to %s." shown).
    bool startBackupOrRestore(Job job, const JobChoices &choices);
    // Clear Address Book, with the item choices of the last job. False when a job
    // is running.
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
    // Waits until the job's thread has ended.
    void wait();
    // The result of the last job: true when it succeeded (false after an abort
    // or a declined clear).
    bool succeeded() const { return succeeded_; }

    // Closing the program: releases what the last backup or restore left open
    // (not after clearing the address book).
    void releaseLastJob();

private:
    void prepareJob(const JobChoices *choices);
    void launch(std::function<bool()> run);
    void setItems(const JobChoices &choices);

    JobContext context_;
    BackupJob backup_;
    RestoreJob restore_;
    ClearAddressBookJob clear_;
    std::function<void()> clearDeclined_;
    std::function<void()> threadEnded_;
    std::thread thread_;
    std::atomic<bool> threadActive_{false};
    std::atomic<bool> succeeded_{false};
};

} // namespace q57
