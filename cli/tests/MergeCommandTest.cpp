// SPDX-License-Identifier: MIT
// Runs the built q57backup-cli merge in a private world (its own HOME,
// configuration and temporary folders) and checks what a user sees: exit
// code, standard output and standard error, the merged file, and that the
// sources and the settings are as they were.

#include <gtest/gtest.h>

#include "JobLockElsewhere.h"
#include "tests/support/ChildProgram.h"
#include "tests/support/FileBytes.h"
#include "tests/support/UserWorld.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace q57::test {
namespace {

namespace fs = std::filesystem;

using MergeOutcome = q57::testing::ChildOutcome;

class MergeCommand : public ::testing::Test {
protected:
    MergeCommand()
    {
        fs::create_directories(data);
        fs::create_directories(lastTime);
    }

    MergeOutcome cli(const std::vector<std::string> &arguments) const
    {
        std::vector<std::string> words{Q57BACKUP_CLI};
        words.insert(words.end(), arguments.begin(), arguments.end());
        return q57::testing::runChildProgram(words, root);
    }

    static void put(const fs::path &path, const std::string &bytes) { std::ofstream(path, std::ios::binary) << bytes; }

    fs::path privateFolder() const { return root / "tmp" / ("q57backup-" + std::to_string(getuid())); }
    std::set<std::string> privateFiles() const
    {
        std::set<std::string> names;
        for (const auto &entry : fs::directory_iterator(privateFolder()))
            names.insert(entry.path().filename().string());
        return names;
    }
    std::string settingsText() const
    {
        return q57::testing::readWhole(root / "config" / "Zantherix" / "Q57 Backup.ini");
    }

    static std::string written(const fs::path &merged)
    {
        return "Merged address book written to '" + merged.string() + "'.\n";
    }

    q57::testing::UserWorld world{"q57-cli-merge"};
    fs::path root = world.root();
    fs::path data = root / "data";
    // Where the items' files are when no choice was ever saved: the data folder.
    fs::path lastTime = root / "home" / "Documents" / "Zantherix";
};

TEST_F(MergeCommand, MergesTheFilesOfLastTimeOrTheGivenOnes)
{
    put(lastTime / "q57ab.adr", "# saved\r\n20\tA\r\n");
    put(lastTime / "w300ab.adr", "30\tB\n");
    const MergeOutcome saved = cli({"merge"});
    EXPECT_EQ(saved.exitCode, 0) << saved.err;
    EXPECT_EQ(saved.out, written(lastTime / "mergedab.adr"));
    EXPECT_EQ(saved.err, "");
    EXPECT_EQ(q57::testing::readWhole(lastTime / "mergedab.adr"), "16\tA\r\n17\tB\r\n");

    // Given files are used this once: nothing of them reaches the settings.
    const fs::path strange = data / "odd\x1b[2Jname";
    fs::create_directories(strange);
    put(strange / "q.adr", "21\tC\r\n");
    put(data / "w.adr", "31\tD\r\n");
    ASSERT_EQ(chdir(data.c_str()), 0);
    const MergeOutcome given = cli({"merge", "--q57", (strange / "q.adr").string(), "--w300=w.adr"});
    ASSERT_EQ(chdir("/"), 0);
    EXPECT_EQ(given.exitCode, 0) << given.err;
    EXPECT_EQ(given.out, written(data / "odd\\x1B[2Jname" / "mergedab.adr"));
    EXPECT_EQ(q57::testing::readWhole(strange / "mergedab.adr"), "16\tC\r\n17\tD\r\n");
    EXPECT_EQ(settingsText().find("q.adr"), std::string::npos) << settingsText();
    EXPECT_EQ(settingsText().find("w.adr"), std::string::npos) << settingsText();
    EXPECT_EQ(q57::testing::readWhole(lastTime / "mergedab.adr"), "16\tA\r\n17\tB\r\n");

    EXPECT_EQ(privateFiles(), std::set<std::string>{});
    EXPECT_TRUE(fs::exists(root / "config" / "Zantherix" / "job.lock")) << "the lock is in the settings folder";
}

TEST_F(MergeCommand, Failures)
{
    put(data / "q.adr", "20\tA\r\n");
    fs::create_directories(data / "taken" / "mergedab.adr");
    put(data / "taken" / "q.adr", "20\tA\r\n");
    std::string over;
    for (int i = 0; i < 155; ++i)
        over += std::to_string(20 + i) + "\tX\r\n";
    put(data / "many.adr", over);
    const std::string staging = (privateFolder() / "~merge.tmp").string();
    const struct {
        const char *what;
        std::vector<std::string> arguments;
        int exitCode;
        std::string err;
    } cases[] = {
        {"missing W300 file",
         {"merge", "--q57", (data / "q.adr").string(), "--w300", (data / "none.adr").string()},
         1,
         "Q57 Backup: Unable to preview. W300 Address Book File does not exist.\n"},
        {"merged file is a folder",
         {"merge", "--q57", (data / "taken" / "q.adr").string(), "--w300", (data / "q.adr").string()},
         1,
         "Q57 Backup: Unable to save the address book to '" + (data / "taken" / "mergedab.adr").string() +
             "'.\nThe address book is kept in '" + staging + "'.\n"},
        // A device is refused before it is read: /dev/zero would never end,
        // a FIFO would wait for a writer with the job lock held.
        {"a device as the W300 file",
         {"merge", "--q57", (data / "q.adr").string(), "--w300", "/dev/null"},
         1,
         "Q57 Backup: Unable to preview. '/dev/null' is not a regular file.\n"},
        {"records dropped: told, and still done",
         {"merge", "--q57", (data / "many.adr").string(), "--w300", (data / "q.adr").string()},
         0,
         "Q57 Backup: Contact record over 154.\nIt'll be ignore.\n"},
    };
    for (const auto &c : cases) {
        const MergeOutcome outcome = cli(c.arguments);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.what;
        EXPECT_EQ(outcome.err, c.err) << c.what;
        EXPECT_EQ(outcome.out, c.exitCode == 0 ? written(data / "mergedab.adr") : "") << c.what;
    }
    EXPECT_EQ(q57::testing::readWhole(data / "q.adr"), "20\tA\r\n");
}

// The lock is where every run of this user finds it (the runtime folder, else
// the settings folder), whatever TMPDIR each run has.
TEST_F(MergeCommand, RefusedWhileAJobRunsWhateverItsTmpdir)
{
    put(data / "q.adr", "20\tA\r\n");
    const std::vector<std::string> arguments{"merge", "--q57", (data / "q.adr").string(), "--w300",
                                             (data / "q.adr").string()};
    withJobLockInEachPlace(
        root,
        [&](const std::string &) {
            const MergeOutcome refused = cli(arguments);
            EXPECT_EQ(refused.exitCode, 1);
            EXPECT_EQ(refused.err, refusalByThisProcess());
            EXPECT_FALSE(fs::exists(data / "mergedab.adr"));
        },
        [&] {
            EXPECT_EQ(cli(arguments).exitCode, 0);
            fs::remove(data / "mergedab.adr");
        });
}

TEST_F(MergeCommand, UsageErrors)
{
    const std::vector<std::vector<std::string>> usages = {
        {"merge", "q.adr"}, {"merge", "--q57"}, {"merge", "--w300="}, {"merge", "--both", "x"}, {"merge", "--q57x=a"},
    };
    for (const auto &arguments : usages) {
        const MergeOutcome outcome = cli(arguments);
        EXPECT_EQ(outcome.exitCode, 2) << ::testing::PrintToString(arguments);
        EXPECT_EQ(outcome.out, "") << ::testing::PrintToString(arguments);
        EXPECT_NE(outcome.err.find("usage: q57backup-cli merge [--q57 FILE] [--w300 FILE]\n"), std::string::npos)
            << outcome.err;
    }
    EXPECT_FALSE(fs::exists(root / "config" / "Zantherix"));

    const MergeOutcome help = cli({"merge", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("usage: q57backup-cli merge [--q57 FILE] [--w300 FILE]\n", 0), 0u) << help.out;
    EXPECT_NE(cli({"--help"}).out.find("  q57backup-cli merge [--q57 FILE] [--w300 FILE]\n"), std::string::npos);
}

} // namespace
} // namespace q57::test
