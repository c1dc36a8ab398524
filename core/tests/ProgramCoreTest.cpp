// SPDX-License-Identifier: MIT
#include "core/ProgramCore.h"

#include "app/ScriptedInteraction.h"
#include "app/StatusLog.h"
#include "tests/support/FileBytes.h"
#include "tests/support/UserWorld.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace q57 {
namespace {

namespace fs = std::filesystem;

// Each test in a world of its own: settings, data and temporary folders.
class ProgramCoreTest : public ::testing::Test {
protected:
    fs::path userSettings() const { return root / "config/Zantherix/Q57 Backup.ini"; }

    const testing::UserWorld world{"core-test"};
    const fs::path &root = world.root();
    ScriptedInteraction ui;
};

TEST_F(ProgramCoreTest, FinishKeepsWhatTheRunChoseForTheNextRun)
{
    {
        ProgramCore core(ui);
        ASSERT_EQ(core.start({}), StartupOutcome::Run);
        core.settings().stored.port = PortChoice::serial(6);
        core.catalogue().item(Memos).selected = true;
        core.catalogue().item(Memos).splitFullPath((root / "notes.mmo").string());
        core.finish();
    }
    ProgramCore next(ui);
    ASSERT_EQ(next.start({}), StartupOutcome::Run);
    EXPECT_EQ(next.settings().stored.port, PortChoice::serial(6));
    EXPECT_TRUE(next.catalogue().item(Memos).selected);
    EXPECT_EQ(next.catalogue().item(Memos).filePath(), (root / "notes.mmo").string());
}

TEST_F(ProgramCoreTest, ARunWithoutFinishLeavesTheSettingsAlone)
{
    {
        ProgramCore core(ui);
        ASSERT_EQ(core.start({}), StartupOutcome::Run);
        core.settings().stored.port = PortChoice::serial(6);
    }
    ProgramCore next(ui);
    ASSERT_EQ(next.start({}), StartupOutcome::Run);
    EXPECT_EQ(next.settings().stored.port, PortChoice::serial(1));
}

TEST_F(ProgramCoreTest, DelregkeyRemovesTheSettingsAndEndsTheRun)
{
    {
        ProgramCore core(ui);
        ASSERT_EQ(core.start({}), StartupOutcome::Run);
        core.finish();
    }
    ASSERT_TRUE(fs::exists(userSettings()));
    ProgramCore core(ui);
    EXPECT_EQ(core.start({"--x", "delregkey"}), StartupOutcome::EndAfterRemoval);
    EXPECT_FALSE(fs::exists(userSettings()));
}

TEST_F(ProgramCoreTest, AStartUpFailureIsShownAndEndsTheRun)
{
    // A file where the settings folder belongs: the settings cannot be kept.
    fs::remove_all(root / "config");
    std::ofstream(root / "config") << "x";
    ProgramCore core(ui);
    EXPECT_EQ(core.start({}), StartupOutcome::EndAfterFailure);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].find("Q57 Backup"), std::string::npos) << ui.messages()[0];
}

// The last job's status log: emptied by a run that may start a job, kept by
// one that only reads it.
struct LastLogRow {
    LastStatusLog lastLog;
    std::string expected;
};

class ProgramCoreLastLogTest : public ProgramCoreTest, public ::testing::WithParamInterface<LastLogRow> {};

TEST_P(ProgramCoreLastLogTest, StartTreatsTheLastStatusLogAsAsked)
{
    std::string logPath;
    {
        ProgramCore core(ui);
        ASSERT_EQ(core.start({}), StartupOutcome::Run);
        logPath = core.settings().paths.tempDirectory + StatusLog::FileName;
    }
    std::ofstream(logPath) << "last job";
    ProgramCore core(ui);
    ASSERT_EQ(core.start({}, GetParam().lastLog), StartupOutcome::Run);
    EXPECT_EQ(testing::readWhole(logPath), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Runs, ProgramCoreLastLogTest,
                         ::testing::Values(LastLogRow{LastStatusLog::Empty, ""},
                                           LastLogRow{LastStatusLog::Keep, "last job"}));

} // namespace
} // namespace q57
