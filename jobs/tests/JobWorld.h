// SPDX-License-Identifier: MIT
#pragma once
// End-to-end job tests: the session tests' private world (own home, settings
// and simulator process) with a job runner over its objects, the device's
// starting contents taken from fixtures/device, and the status log captured.

#include "session/tests/SessionWorld.h"

#include "jobs/JobRunner.h"
#include "tests/support/FileBytes.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace q57::testing {

// The default file name of each device item, as the catalogue names it.
std::string defaultFileName(ItemId id);
std::filesystem::path fixtures();

class JobWorld : public SessionWorld {
protected:
    void TearDown() override;

    // Starts the simulator (pty or UDP) on a device holding the fixture's items.
    void startDevice(const std::vector<std::string> &options, bool udp = false);

    // The items' files in root/folder under their default names.
    JobChoices choose(const std::vector<ItemId> &ids, const std::string &folder) const;
    // Starts the job, waits for its end; the runner's verdict.
    bool run(JobRunner::Job job, const JobChoices &choices);
    bool clearAddressBook();

    std::filesystem::path folder(const std::string &name) const { return root / "files" / name; }
    // Names in root/files/folder.
    std::vector<std::string> filesIn(const std::string &name) const;
    // Every item file of the folder equals the expected backup.
    void expectSampleBackup(const std::string &name, const std::vector<ItemId> &ids) const;
    // The device holds the fixture's items again.
    void expectDeviceUnchanged() const;

    std::unique_ptr<JobRunner> runner;
    std::shared_ptr<std::string> logged = std::make_shared<std::string>();
};

inline const std::vector<ItemId> AllItems = {Preferences, AddressBook, Folders, Memos, Quicktext};

} // namespace q57::testing
