// SPDX-License-Identifier: MIT
#include "JobWorld.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace q57::testing {

std::string defaultFileName(ItemId id)
{
    static const char *const names[] = {"preferences.opt", "addressBook.adr", "folders.fld", "memos.mmo",
                                        "quicktext.qtx"};
    return names[id];
}

std::filesystem::path fixtures()
{
    return JOBS_FIXTURES;
}

void JobWorld::TearDown()
{
    if (runner)
        runner->wait();
    runner.reset();
    SessionWorld::TearDown();
}

void JobWorld::startDevice(const std::vector<std::string> &options, bool udp)
{
    runner.reset();
    std::filesystem::remove_all(dataFolder);
    std::filesystem::create_directories(dataFolder);
    for (const auto &entry : std::filesystem::directory_iterator(fixtures() / "device"))
        std::filesystem::copy_file(entry.path(), dataFolder / entry.path().filename());
    if (udp)
        startOnUdp(options);
    else
        startOnPty(options);
    rig->settings.runtime.statusLog.setEcho([log = logged](const std::string &text) { *log += text; });
    runner =
        std::make_unique<JobRunner>(JobContext{rig->settings, rig->catalogue, rig->session, rig->formats, rig->ui});
}

JobChoices JobWorld::choose(const std::vector<ItemId> &ids, const std::string &name) const
{
    std::filesystem::create_directories(folder(name));
    JobChoices choices;
    for (ItemId id : AllItems)
        choices.items[id].fullPath = (folder(name) / defaultFileName(id)).string();
    for (ItemId id : ids)
        choices.items[id].included = true;
    return choices;
}

bool JobWorld::run(JobRunner::Job job, const JobChoices &choices)
{
    logged->clear();
    rig->ui.clearEvents();
    if (!runner->startBackupOrRestore(job, choices))
        return false;
    runner->wait();
    EXPECT_FALSE(rig->settings.runtime.jobFlags.jobRunning);
    return runner->succeeded();
}

bool JobWorld::clearAddressBook()
{
    logged->clear();
    rig->ui.clearEvents();
    if (!runner->startClearAddressBook())
        return false;
    runner->wait();
    EXPECT_FALSE(rig->settings.runtime.jobFlags.jobRunning);
    EXPECT_FALSE(rig->settings.runtime.jobFlags.clearMode);
    return runner->succeeded();
}

std::vector<std::string> JobWorld::filesIn(const std::string &name) const
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder(name)))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void JobWorld::expectSampleBackup(const std::string &name, const std::vector<ItemId> &ids) const
{
    for (ItemId id : ids) {
        SCOPED_TRACE(defaultFileName(id));
        EXPECT_EQ(readWhole(folder(name) / defaultFileName(id)),
                  readWhole(fixtures() / "backup" / defaultFileName(id)));
    }
}

void JobWorld::expectDeviceUnchanged() const
{
    for (const auto &entry : std::filesystem::directory_iterator(fixtures() / "device")) {
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_EQ(readWhole(dataFolder / entry.path().filename()), readWhole(entry.path()));
    }
}

} // namespace q57::testing
