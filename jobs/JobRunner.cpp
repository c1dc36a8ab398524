// SPDX-License-Identifier: MIT
#include "jobs/JobRunner.h"

#include "app/AppSettings.h"
#include "app/BusyGuard.h"
#include "app/UserInteraction.h"
#include "session/DeviceSession.h"

#include <thread>

namespace q57 {

namespace {

constexpr int ProgressBarCount = 5;

} // namespace

JobRunner::JobRunner(const JobContext &context)
    : context_(context), backup_(context), restore_(context), clear_(context, [this] {
          if (clearDeclined_)
              clearDeclined_();
      })
{
}

JobRunner::~JobRunner()
{
    wait();
}

void JobRunner::wait()
{
    std::unique_lock lock(mutex_);
    threadsEnded_.wait(lock, [this] { return liveThreads_ == 0; });
}

// A job already running here, or in another process of this user.
bool JobRunner::refuseStart()
{
    if (refuseWhileBusy(context_.flags(), context_.ui))
        return true;
    std::lock_guard lock(mutex_);
    pid_t holder = 0;
    if (lock_.acquire(context_.settings.paths.lockDirectory, holder))
        return false;
    context_.ui.showMessage(jobLockRefusal(holder));
    return true;
}

bool JobRunner::startBackupOrRestore(Job job, const JobChoices &choices)
{
    JobFlags &flags = context_.flags();
    if (refuseWhileBusy(flags, context_.ui))
        return false;
    bool any = false;
    for (const ItemChoice &choice : choices.items)
        any = any || choice.included;
    if (!any) {
        showMessage(context_.ui, "Please select item to %s.", job == Job::Backup ? "backup" : "restore");
        return false;
    }
    if (refuseStart())
        return false;
    flags.backupMode = job == Job::Backup;
    context_.ui.statusNotice(StatusValidatingFile);
    prepareJob(&choices);
    if (job == Job::Backup)
        launch([this] { return backup_.runBackupThread(); });
    else
        launch([this] { return restore_.runRestoreThread(); });
    return true;
}

bool JobRunner::startClearAddressBook()
{
    JobFlags &flags = context_.flags();
    if (refuseStart())
        return false;
    flags.clearMode = true;
    prepareJob(nullptr);
    launch([this] { return clear_.runClearAddressBookThread(); });
    return true;
}

void JobRunner::setItems(const JobChoices &choices)
{
    ItemCatalogue &catalogue = context_.catalogue;
    for (size_t row = 0; row < choices.items.size(); ++row) {
        const ItemChoice &choice = choices.items[row];
        catalogue.item(static_cast<ItemId>(row)).setFromWindow(choice.included ? 1 : 0, choice.fullPath);
    }
    catalogue.item(TestFile).selected = choices.selfTest;
    catalogue.item(TestFile).resetTransferState();
    catalogue.item(File).selected = choices.fileRequest;
    catalogue.item(File).resetTransferState();
    context_.session.setDeviceFileName(choices.deviceFileName);
}

// Without choices (the clear), the items keep what the last job set.
void JobRunner::prepareJob(const JobChoices *choices)
{
    context_.settings.openStatusLog(context_.ui);
    if (choices)
        setItems(*choices);
    for (int bar = 0; bar < ProgressBarCount; ++bar)
        context_.ui.progressNotice(bar, 0);
    JobFlags &flags = context_.flags();
    flags.jobRunning = true;
    flags.abortRequested = false;
}

void JobRunner::launch(std::function<bool()> run)
{
    std::lock_guard lock(mutex_);
    const uint64_t generation = ++generation_;
    succeeded_ = false;
    threadActive_ = true;
    ++liveThreads_;
    std::thread([this, generation, run = std::move(run)] { finishThread(generation, run()); }).detach();
}

// The last step of every job thread. Only the newest job's thread speaks for
// the runner: an older one that was still in its completion message when the
// next job started leaves that job's result, lock and end notice alone.
void JobRunner::finishThread(uint64_t generation, bool ok)
{
    std::function<void()> ended;
    {
        std::lock_guard lock(mutex_);
        if (generation == generation_) {
            succeeded_ = ok;
            threadActive_ = false;
            lock_.release();
            ended = threadEnded_;
        }
    }
    if (ended)
        ended();
    std::lock_guard lock(mutex_);
    --liveThreads_;
    threadsEnded_.notify_all();
}

void JobRunner::requestAbort()
{
    JobFlags &flags = context_.flags();
    flags.abortRequested = true;
    context_.log().log("%s operation aborted by user.\n", flags.jobName());
}

void JobRunner::releaseLastJob()
{
    wait();
    if (context_.flags().clearMode)
        return;
    if (context_.flags().backupMode)
        backup_.endBackup();
    else
        restore_.endRestore();
}

} // namespace q57
