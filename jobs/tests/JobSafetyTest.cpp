// SPDX-License-Identifier: MIT
// What must never cost a user data, end to end through the job runner against
// q57sim: writes that fail on a full disk, a second run at the same time, two
// items naming one file, an abort between steps, and a front end that starts
// the next job from a notice or while the last completion message is open.

#include "JobWorld.h"

#include "app/JobLock.h"
#include "tests/support/FileSizeLimit.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <future>

namespace q57::testing {
namespace {

using Job = JobRunner::Job;
using Messages = std::vector<std::string>;
constexpr const char *OldContent = "old content\n";

std::string deviceFileOf(ItemId id)
{
    static const char *const names[] = {"preferences.bin", "addressbook.txt", "folders.bin", "memos.txt",
                                        "quicktext.txt"};
    return names[id];
}

bool anyContains(const Messages &messages, const std::string &part)
{
    return std::any_of(messages.begin(), messages.end(),
                       [&](const std::string &text) { return text.find(part) != std::string::npos; });
}

class JobSafetyTest : public JobWorld {
protected:
    ScriptedInteraction &ui() { return rig->ui; }

    // Runs the job in a child process whose files may not grow past `limit`
    // bytes (writes past it fail with EFBIG, as on a full disk); returns the
    // child's exit code (0 success, 1 failure) and its messages.
    std::pair<int, Messages> runWithFileLimit(Job job, const JobChoices &choices, rlim_t limit)
    {
        const LimitedRun limited = runWithFileSizeLimit(limit, [&](Messages &messages) {
            const bool ok = run(job, choices);
            messages = ui().messages();
            return ok;
        });
        return {limited.exitCode, limited.messages};
    }

    size_t deviceSize(ItemId id) const { return std::filesystem::file_size(fixtures() / "device" / deviceFileOf(id)); }
};

// Every item's backup, its file limit just too small for the read or for a
// conversion pass: a failure with the step's message, the user's file as it
// was, and no temporary file left behind.
TEST_F(JobSafetyTest, BackupThatCannotBeWrittenFailsAndKeepsTheUsersFile)
{
    startDevice({});
    for (ItemId id : AllItems) {
        // Preferences and Folders files also carry the read's check value.
        const size_t readBytes = deviceSize(id) + (id == Preferences || id == Folders ? 2 : 0);
        const struct {
            const char *step;
            rlim_t limit;
            std::string message;
        } limits[] = {
            {"read", 64, "Unable to backup " + rig->catalogue.item(id).displayName + ". [4]"},
            {"pass", readBytes, "Unable to write temporary file"},
        };
        for (const auto &at : limits) {
            SCOPED_TRACE(defaultFileName(id) + " " + at.step);
            const std::string name = std::string("limit-") + at.step + std::to_string(id);
            const JobChoices choices = choose({id}, name);
            std::ofstream(folder(name) / defaultFileName(id), std::ios::binary) << OldContent;
            ui().setDefaultAnswer(true);

            const auto [code, messages] = runWithFileLimit(Job::Backup, choices, at.limit);
            EXPECT_EQ(code, 1);
            EXPECT_TRUE(anyContains(messages, at.message)) << ::testing::PrintToString(messages);
            EXPECT_FALSE(anyContains(messages, "Successfully"));
            EXPECT_EQ(readWhole(folder(name) / defaultFileName(id)), OldContent);
            const std::string copy = defaultFileName(id).substr(0, defaultFileName(id).size() - 4) + ".bak";
            std::vector<std::string> expected{copy, defaultFileName(id)};
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(filesIn(name), expected);
        }
    }
}

// A restore whose conversion passes cannot write never reaches the device.
TEST_F(JobSafetyTest, RestoreThatCannotStageItsDataSendsNothing)
{
    startDevice({});
    for (ItemId id : AllItems) {
        SCOPED_TRACE(defaultFileName(id));
        const std::string name = "restore" + std::to_string(id);
        const JobChoices choices = choose({id}, name);
        std::filesystem::copy_file(fixtures() / "backup" / defaultFileName(id), folder(name) / defaultFileName(id));
        const size_t requestsBefore = hostRequests().size();

        const auto [code, messages] = runWithFileLimit(Job::Restore, choices, 16);
        EXPECT_EQ(code, 1);
        EXPECT_TRUE(anyContains(messages, "Unable to write temporary file")) << ::testing::PrintToString(messages);
        EXPECT_EQ(hostRequests().size(), requestsBefore);
        expectDeviceUnchanged();
        EXPECT_EQ(readWhole(folder(name) / defaultFileName(id)),
                  readWhole(fixtures() / "backup" / defaultFileName(id)));
        EXPECT_EQ(filesIn(name), std::vector<std::string>{defaultFileName(id)});
    }
}

// Another process holding the user's job lock: the job is refused at once and
// touches nothing, not even the status log; when that process dies, its lock
// goes with it.
TEST_F(JobSafetyTest, SecondRunIsRefusedWhileAnotherHoldsTheJobLock)
{
    startDevice({});
    ASSERT_TRUE(run(Job::Backup, choose({Memos}, "files")));
    const std::string logBefore = rig->logText();
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        JobLock lock;
        pid_t other = 0;
        const char byte = lock.acquire(rig->settings.paths.lockDirectory, other) ? 'y' : 'n';
        [[maybe_unused]] const ssize_t written = write(ready[1], &byte, 1);
        pause();
        _exit(0);
    }
    char answer = 0;
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');

    ui().setDefaultAnswer(true);
    EXPECT_FALSE(run(Job::Backup, choose({Memos}, "files")));
    EXPECT_FALSE(runner->startClearAddressBook());
    const std::string refusal = "Another Q57 Backup job is running (pid " + std::to_string(holder) + ").";
    EXPECT_EQ(ui().messages(), (Messages{refusal, refusal}));
    EXPECT_TRUE(ui().questions().empty());
    EXPECT_EQ(rig->logText(), logBefore);
    EXPECT_EQ(filesIn("files"), std::vector<std::string>{"memos.mmo"});

    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
    EXPECT_TRUE(run(Job::Backup, choose({Memos}, "files")));
}

TEST_F(JobSafetyTest, RestoreRefusesTwoItemsOnOneFileAndTemporaryNames)
{
    startDevice({});
    ASSERT_TRUE(run(Job::Backup, choose({Memos, Quicktext}, "files")));
    struct Case {
        const char *what;
        std::string quicktextFile;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"the same path", (folder("files") / "memos.mmo").string(), "Cannot restore. Duplicate filename selected."},
        {"the same file by another path", (folder("files") / "." / "memos.mmo").string(),
         "Cannot restore. Duplicate filename selected."},
        {"another item's temporary name", (folder("files") / "~mmoxxxx.tmp").string(),
         "Cannot validate Quicktext. File '~mmoxxxx.tmp' is in use."},
    };
    const size_t requestsBefore = hostRequests().size();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        JobChoices choices = choose({Memos, Quicktext}, "files");
        choices.items[Quicktext].fullPath = c.quicktextFile;
        EXPECT_FALSE(run(Job::Restore, choices));
        EXPECT_EQ(ui().messages(), Messages{c.message});
        EXPECT_EQ(hostRequests().size(), requestsBefore);
    }
}

// An abort asked for between steps stops the job there: after the last file
// was checked nothing is sent; after the first item was committed, that item
// stays committed and the next is not read. (The status log's echo runs under
// the log's lock, so the abort is flagged directly rather than through the
// runner, which logs it.)
TEST_F(JobSafetyTest, AbortBetweenStepsStopsBeforeTheNextStep)
{
    startDevice({});
    JobFlags &flags = rig->settings.runtime.jobFlags;
    ASSERT_TRUE(run(Job::Backup, choose({Memos, Quicktext}, "files")));
    const std::string quicktextBefore = readWhole(folder("files") / "quicktext.qtx");
    const size_t requestsBefore = hostRequests().size();

    rig->settings.runtime.statusLog.setEcho([&flags, log = logged](const std::string &text) {
        *log += text;
        if (text.find("Validated successfully.") != std::string::npos)
            flags.abortRequested = true;
    });
    EXPECT_FALSE(run(Job::Restore, choose({Memos}, "files")));
    EXPECT_EQ(ui().quitNotices(), 1);
    EXPECT_EQ(hostRequests().size(), requestsBefore);
    EXPECT_EQ(filesIn("files"), (std::vector<std::string>{"memos.mmo", "quicktext.qtx"}));

    std::ofstream(folder("files") / "memos.mmo", std::ios::app) << "<!-- mark -->";
    std::ofstream(folder("files") / "quicktext.qtx", std::ios::app) << "mark";
    rig->settings.runtime.statusLog.setEcho([&flags, log = logged](const std::string &text) {
        *log += text;
        if (text.find("Backup successful.") != std::string::npos)
            flags.abortRequested = true;
    });
    ui().setDefaultAnswer(true);
    EXPECT_FALSE(run(Job::Backup, choose({Memos, Quicktext}, "files")));
    EXPECT_EQ(ui().quitNotices(), 1);
    expectSampleBackup("files", {Memos});
    EXPECT_EQ(readWhole(folder("files") / "quicktext.qtx"), quicktextBefore + "mark");
}

// The front end may start the next job from the job-end notice itself (on the
// job's thread) or while the last job still waits in its completion message.
TEST_F(JobSafetyTest, NextJobStartsFromANoticeOrWhileTheCompletionMessageIsOpen)
{
    startDevice({});
    ui().setDefaultAnswer(true);
    const JobChoices first = choose({Memos}, "first");
    const JobChoices second = choose({Quicktext}, "second");
    // The interaction calls a copy of its hook: what a hook remembers lives outside it.
    std::atomic<bool> done{false};
    bool startedFromNotice = false;
    ui().setHook([&](const ScriptedInteraction::Event &event) {
        if (event.kind == ScriptedInteraction::Kind::JobEnd && !done.exchange(true))
            startedFromNotice = runner->startBackupOrRestore(Job::Backup, second);
    });
    ASSERT_TRUE(runner->startBackupOrRestore(Job::Backup, first));
    runner->wait();
    EXPECT_TRUE(startedFromNotice);
    EXPECT_EQ(ui().jobEndNotices(), (std::vector<bool>{true, true}));
    EXPECT_TRUE(runner->succeeded());
    expectSampleBackup("first", {Memos});
    expectSampleBackup("second", {Quicktext});

    ui().clearEvents();
    std::promise<void> messageOpen;
    std::promise<void> buttonPressed;
    auto pressed = buttonPressed.get_future();
    done = false;
    ui().setHook([&](const ScriptedInteraction::Event &event) {
        if (event.kind == ScriptedInteraction::Kind::Message && !done.exchange(true)) {
            messageOpen.set_value();
            pressed.wait(); // the completion message stays open until then
        }
    });
    ASSERT_TRUE(runner->startBackupOrRestore(Job::Backup, choose({Memos}, "third")));
    messageOpen.get_future().wait();
    EXPECT_TRUE(runner->startBackupOrRestore(Job::Backup, choose({Quicktext}, "fourth")));
    buttonPressed.set_value();
    runner->wait();
    EXPECT_EQ(ui().jobEndNotices(), (std::vector<bool>{true, true}));
    expectSampleBackup("third", {Memos});
    expectSampleBackup("fourth", {Quicktext});
}

} // namespace
} // namespace q57::testing
