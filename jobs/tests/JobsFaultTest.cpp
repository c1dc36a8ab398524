// SPDX-License-Identifier: MIT
// The jobs against devices that differ or misbehave: a v3 device, one in another
// mode, the two incompatible levels, and each simulator fault, with the message
// the user gets and the user's files unharmed.

#include "JobWorld.h"

namespace q57::testing {
namespace {

using Job = JobRunner::Job;
using Messages = std::vector<std::string>;

class JobsFaultTest : public JobWorld {
protected:
    // The user's backup files, already in place from an earlier backup.
    void plantBackup(const std::string &name)
    {
        std::filesystem::create_directories(folder(name));
        for (ItemId id : AllItems)
            std::filesystem::copy_file(fixtures() / "backup" / defaultFileName(id), folder(name) / defaultFileName(id),
                                       std::filesystem::copy_options::overwrite_existing);
    }
};

// Devices that answer differently but correctly, and faults the link recovers
// from: the backup is the expected one and a restore puts the same data back.
TEST_F(JobsFaultTest, RecoverableDevicesGiveTheSameFiles)
{
    struct Device {
        std::vector<std::string> options;
        std::vector<ItemId> items; // the link faults cost a retry each: a few small items
    };
    const std::vector<Device> devices = {
        {{"--protocol", "v3"}, AllItems},
        {{"--mode", "2"}, {Preferences}},
        {{"--level", "3"}, {Memos}},
        {{"--drop-ack-every", "7"}, {Memos, Quicktext}},
        {{"--garbage-between-frames"}, {AddressBook, Quicktext}},
        {{"--corrupt-every", "9"}, {Memos, Quicktext}},
        {{"--short-write-offset", "10"}, {Preferences, AddressBook}},
    };
    for (const Device &device : devices) {
        const std::string &name = device.options[0];
        SCOPED_TRACE(name);
        startDevice(device.options);
        ASSERT_TRUE(run(Job::Backup, choose(device.items, name)));
        expectSampleBackup(name, device.items);
        ASSERT_TRUE(run(Job::Restore, choose(device.items, name)));
        expectDeviceUnchanged();
    }
}

TEST_F(JobsFaultTest, FaultsAreReportedAndHarmNoFile)
{
    struct Case {
        std::vector<std::string> options;
        Job job;
        std::vector<ItemId> items;
        std::string message; // the first message shown; "" for none
        std::string logLine; // a line the status log holds; "" when it says nothing more
    };
    const std::vector<Case> cases = {
        {{"--level", "1"},
         Job::Backup,
         AllItems,
         "This version of Q57 Backup (1.02) is incompatible with your device. The device must be upgraded.",
         ""},
        {{"--level", "4"},
         Job::Restore,
         AllItems,
         "This version of Q57 Backup (1.02) is incompatible with your device. Please upgrade your Q57 Backup "
         "software.",
         ""},
        {{"--wrong-read-check"}, Job::Backup, {Preferences}, "", "Data corrupted during transfer.\n"},
        {{"--silent-after", "3000"},
         Job::Backup,
         AllItems,
         "Unable to backup Preferences. [2]",
         "Unable to backup Preferences. [2]"},
        {{"--refuse-write"},
         Job::Restore,
         {Folders},
         "Unable to restore Folders. [3]",
         "Unable to restore Folders. [3]"},
        {{"--out-of-memory-after", "2"},
         Job::Restore,
         {Preferences},
         "Unable to restore Preferences. (Device may be out of memory).",
         "Unable to restore Preferences. Device may be out of memory.\n"},
        {{"--no-final-answer"},
         Job::Restore,
         {AddressBook},
         "Unable to restore Address Book. [11]",
         "Unable to restore Address Book. [11]"},
        {{"--capacity", "2"},
         Job::Restore,
         {AddressBook},
         "Invalid Address Book file. Please View Status Log.",
         "Address Book:\nRecord ID (19)(for both groups and contacts) exceeds maximum allowed: (18)\n"},
        {{"--quicktext-capacity", "3"},
         Job::Restore,
         {Quicktext},
         "Number of Quicktext entries exceeds the 3 maximum. (4 records)",
         ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.options[0]);
        const std::string name = c.options[0] + (c.options.size() > 1 ? c.options[1] : "");
        startDevice(c.options);
        plantBackup(name);
        rig->ui.setDefaultAnswer(true);
        EXPECT_FALSE(run(c.job, choose(c.items, name)));
        EXPECT_EQ(rig->ui.jobEndNotices(), std::vector<bool>{false});
        const std::vector<std::string> &messages = rig->ui.messages();
        EXPECT_EQ(messages.empty() ? std::string() : messages.front(), c.message);
        if (!c.logLine.empty()) {
            EXPECT_NE(logged->find(c.logLine), std::string::npos) << *logged;
        }
        expectSampleBackup(name, AllItems);
        // The files and, after a backup, their .bak copies: no temporary file is left.
        const size_t copies = c.job == Job::Backup ? c.items.size() : 0;
        EXPECT_EQ(filesIn(name).size(), 5u + copies);
        if (c.options[0] != "--no-final-answer") { // that device has taken the whole address book
            expectDeviceUnchanged();
        }
    }
}

} // namespace
} // namespace q57::testing
