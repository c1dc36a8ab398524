// SPDX-License-Identifier: MIT
// The three jobs end to end through the job runner against q57sim on a
// pseudo-terminal: backup of the fixture device compared byte for byte with the
// expected files, restore and a second identical backup, and the refusals,
// questions, aborts and empty files along the way.

#include "JobWorld.h"

#include <algorithm>

namespace q57::testing {
namespace {

using Job = JobRunner::Job;

size_t count(const std::string &text, const std::string &part)
{
    size_t found = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++found;
    return found;
}

bool contains(const std::vector<int> &values, int value)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

using Messages = std::vector<std::string>;

class JobsDeviceTest : public JobWorld {
protected:
    ScriptedInteraction &ui() { return rig->ui; }
    bool deviceContacted() { return contains(ui().statusNotices(), StatusConnecting); }

    // Asks for an abort the first time `bar` moves past its start.
    void abortMidway(int bar)
    {
        ui().setHook([this, bar, done = false](const ScriptedInteraction::Event &event) mutable {
            if (!done && event.kind == ScriptedInteraction::Kind::Progress && event.first == bar && event.second > 0 &&
                event.second < 100) {
                done = true;
                runner->requestAbort();
            }
        });
    }
};

TEST_F(JobsDeviceTest, BackupRestoreAndBackupAgainAreByteIdentical)
{
    startDevice({});
    ASSERT_TRUE(run(Job::Backup, choose(AllItems, "first")));
    expectSampleBackup("first", AllItems);
    EXPECT_EQ(filesIn("first"), (std::vector<std::string>{"addressBook.adr", "folders.fld", "memos.mmo",
                                                          "preferences.opt", "quicktext.qtx"}));
    EXPECT_EQ(ui().messages(), Messages{"Backup Completed Successfully."});
    EXPECT_EQ(ui().jobEndNotices(), std::vector<bool>{true});
    EXPECT_TRUE(contains(ui().statusNotices(), StatusBackupInProgress));
    EXPECT_EQ(count(*logged, "Backup successful.\n"), 5u);

    ASSERT_TRUE(run(Job::Restore, choose(AllItems, "first")));
    EXPECT_EQ(ui().messages(), Messages{"Restore Completed Successfully."});
    // A level-2 device has the memos validated a second time, for its labels.
    EXPECT_EQ(count(*logged, "Validated successfully.\n"), 6u);
    EXPECT_EQ(count(*logged, "Restored successfully.\n\n"), 5u);
    expectDeviceUnchanged();
    EXPECT_EQ(filesIn("first").size(), 5u) << "the restore leaves no temporary file";

    ASSERT_TRUE(run(Job::Backup, choose(AllItems, "second")));
    expectSampleBackup("second", AllItems);

    // Backing up over existing files asks once per file and keeps each old
    // file in its ".bak" copy.
    ui().setDefaultAnswer(true);
    ASSERT_TRUE(run(Job::Backup, choose({Memos, Quicktext}, "second")));
    EXPECT_EQ(ui().questions(), (Messages{"File memos.mmo already exists.\nPress OK to overwrite.",
                                          "File quicktext.qtx already exists.\nPress OK to overwrite."}));
    EXPECT_EQ(readWhole(folder("second") / "memos.bak"), readWhole(fixtures() / "backup" / "memos.mmo"));
    expectSampleBackup("second", AllItems);
}

// Every refusal here comes before the device is contacted and leaves the
// user's files as they were.
TEST_F(JobsDeviceTest, RefusalsBeforeTheDeviceIsContacted)
{
    startDevice({});
    ASSERT_TRUE(run(Job::Backup, choose({Preferences, Memos}, "files")));

    JobChoices duplicate = choose({Preferences, Folders}, "files");
    duplicate.items[Folders].fullPath = duplicate.items[Preferences].fullPath;
    EXPECT_FALSE(run(Job::Backup, duplicate));
    EXPECT_EQ(ui().messages(), Messages{"Cannot backup. Duplicate filename selected."});
    EXPECT_FALSE(deviceContacted());

    ui().setDefaultAnswer(true);
    JobChoices caseOnly = choose({Preferences, Folders}, "files");
    caseOnly.items[Folders].fullPath = folder("files") / "PREFERENCES.OPT";
    EXPECT_TRUE(run(Job::Backup, caseOnly)) << "names differing in case are different files";

    ui().setDefaultAnswer(false); // Cancel at the overwrite question
    EXPECT_FALSE(run(Job::Backup, choose({Memos}, "files")));
    EXPECT_EQ(ui().questions(), Messages{"File memos.mmo already exists.\nPress OK to overwrite."});
    EXPECT_TRUE(ui().messages().empty());
    EXPECT_EQ(ui().jobEndNotices(), std::vector<bool>{false});
    EXPECT_FALSE(deviceContacted());

    ui().setDefaultAnswer(true); // a folder where the file should be cannot be backed up
    std::filesystem::create_directories(folder("files") / "quicktext.qtx");
    EXPECT_FALSE(run(Job::Backup, choose({Memos, Quicktext}, "files")));
    EXPECT_EQ(ui().messages(), Messages{"Unable to backup Quicktext. Cannot create backup copy 'quicktext.bak'."});
    EXPECT_FALSE(deviceContacted());
    EXPECT_TRUE(std::filesystem::is_directory(folder("files") / "quicktext.qtx"));

    EXPECT_FALSE(run(Job::Restore, choose({}, "files")));
    EXPECT_EQ(ui().messages(), Messages{"Please select item to restore."});

    JobChoices selfTest = choose({Preferences}, "files");
    selfTest.selfTest = true; // no testfile.txt in the data folder
    std::filesystem::remove(rig->catalogue.item(TestFile).filePath());
    EXPECT_FALSE(run(Job::Restore, selfTest));
    EXPECT_TRUE(ui().messages().empty());
    EXPECT_FALSE(deviceContacted());

    EXPECT_EQ(filesIn("files"), (std::vector<std::string>{"PREFERENCES.OPT", "memos.bak", "memos.mmo",
                                                          "preferences.bak", "preferences.opt", "quicktext.qtx"}));
    expectSampleBackup("files", {Preferences, Memos});
}

TEST_F(JobsDeviceTest, EmptyFilesAreSkippedAndSummarised)
{
    startDevice({});
    ASSERT_TRUE(run(Job::Backup, choose({Preferences}, "files")));
    std::ofstream(folder("files") / "memos.mmo").flush();

    EXPECT_FALSE(run(Job::Restore, choose({Memos}, "files")));
    EXPECT_EQ(ui().messages(), Messages{"All files selected are empty. Restore operation not started."});
    EXPECT_NE(logged->find("\nMemos:\nEmpty file not validated.\n"), std::string::npos) << *logged;
    EXPECT_FALSE(deviceContacted());

    ASSERT_TRUE(run(Job::Restore, choose({Preferences, Memos}, "files")));
    EXPECT_EQ(ui().messages(),
              Messages{"Restore Completed. Some files are empty and not restored.\nPlease View Status Log."});
    EXPECT_NE(logged->find("Memos:\nEmpty file not restored.\n\n"), std::string::npos) << *logged;
    expectDeviceUnchanged();
}

TEST_F(JobsDeviceTest, AbortDuringAReadAndDuringAWrite)
{
    startDevice({});
    ASSERT_TRUE(run(Job::Backup, choose({Preferences}, "files")));
    const std::string before = readWhole(folder("files") / "preferences.opt");
    std::ofstream(folder("files") / "preferences.opt", std::ios::app) << "mark";

    ui().setDefaultAnswer(true);
    abortMidway(0);
    EXPECT_FALSE(run(Job::Backup, choose({Preferences}, "files")));
    EXPECT_EQ(ui().quitNotices(), 1);
    EXPECT_TRUE(ui().jobEndNotices().empty());
    EXPECT_TRUE(ui().messages().empty());
    EXPECT_NE(logged->find("Backup operation aborted by user.\n"), std::string::npos);
    EXPECT_EQ(readWhole(folder("files") / "preferences.opt"), before + "mark");
    EXPECT_EQ(filesIn("files"), (std::vector<std::string>{"preferences.bak", "preferences.opt"}));

    std::filesystem::remove(folder("files") / "preferences.bak");
    std::ofstream(folder("files") / "preferences.opt", std::ios::binary | std::ios::trunc) << before;
    abortMidway(0);
    EXPECT_FALSE(run(Job::Restore, choose({Preferences}, "files")));
    EXPECT_EQ(ui().quitNotices(), 1);
    EXPECT_TRUE(ui().jobEndNotices().empty());
    expectDeviceUnchanged();
    EXPECT_EQ(filesIn("files"), (std::vector<std::string>{"preferences.opt"}));

    ui().setHook({});
    ASSERT_TRUE(run(Job::Backup, choose({Preferences}, "again"))) << "the device serves after the aborts";
    expectSampleBackup("again", {Preferences});
}

TEST_F(JobsDeviceTest, ClearAddressBookAnsweredNoThenYes)
{
    startDevice({});
    bool declined = false;
    runner->setClearDeclinedHandler([&declined] { declined = true; });
    ui().setDefaultAnswer(false);
    EXPECT_FALSE(clearAddressBook());
    EXPECT_TRUE(declined);
    EXPECT_EQ(ui().questions(), Messages{"Press YES to clear the Address Book?"});
    EXPECT_TRUE(ui().jobEndNotices().empty());
    EXPECT_EQ(ui().quitNotices(), 0);
    EXPECT_TRUE(logged->empty());
    EXPECT_FALSE(deviceContacted());
    expectDeviceUnchanged();

    ui().setDefaultAnswer(true);
    EXPECT_TRUE(clearAddressBook());
    EXPECT_EQ(ui().messages(), Messages{"Clearing Address Book Completed Successfully."});
    EXPECT_EQ(ui().jobEndNotices(), std::vector<bool>{true});
    EXPECT_EQ(*logged, "Address Book:\nClearing succeeded.\n");
    EXPECT_EQ(readWhole(dataFolder / "addressbook.txt"), "");
    EXPECT_STREQ(rig->settings.runtime.jobFlags.jobName(), "Backup") << "the next job is not named Clearing";
}

} // namespace
} // namespace q57::testing
