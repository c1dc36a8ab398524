// SPDX-License-Identifier: MIT
// Runs the built q57backup-cli on small hand-written files in a private world
// (its own HOME, configuration and temporary folders) and checks what a user
// sees: exit code, standard output and standard error, and that the file, its
// folder and the last job's status log are as they were.

#include <gtest/gtest.h>

#include "JobLockElsewhere.h"
#include "tests/support/ChildProgram.h"
#include "tests/support/FileBytes.h"
#include "tests/support/HostileFiles.h"
#include "tests/support/UserWorld.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace q57::test {
namespace {

namespace fs = std::filesystem;

using Outcome = q57::testing::ChildOutcome;

const std::string Heading = "====================\nValidating Files....\n====================\n";

class ValidateCommand : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(root / "data"); }

    Outcome cli(const std::vector<std::string> &arguments)
    {
        std::vector<std::string> words{Q57BACKUP_CLI};
        words.insert(words.end(), arguments.begin(), arguments.end());
        return q57::testing::runChildProgram(words, root);
    }

    fs::path write(const std::string &name, const std::string &bytes)
    {
        const fs::path path = root / "data" / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::set<std::string> dataFiles() const
    {
        std::set<std::string> names;
        for (const auto &entry : fs::directory_iterator(root / "data"))
            names.insert(entry.path().filename().string());
        return names;
    }

    // In the temporary folder the program is told about now.
    fs::path privateFolder() const
    {
        return fs::path(std::getenv("TMPDIR")) / ("q57backup-" + std::to_string(getuid()));
    }

    // The last job's status log, as a backup left it.
    void plantStatusLog()
    {
        fs::create_directories(privateFolder());
        fs::permissions(privateFolder(), fs::perms::owner_all);
        std::ofstream(privateFolder() / "statusLog.txt", std::ios::binary) << LastJobLog;
    }

    // The private folder holds the last job's log, untouched, and nothing else
    // (the job lock lives in the settings folder).
    void expectPrivateFolderAsPlanted(const std::string &name) const
    {
        EXPECT_EQ(q57::testing::readWhole(privateFolder() / "statusLog.txt"), LastJobLog) << name;
        std::set<std::string> names;
        for (const auto &entry : fs::directory_iterator(privateFolder()))
            names.insert(entry.path().filename().string());
        EXPECT_EQ(names, std::set<std::string>{"statusLog.txt"}) << name;
    }

    static constexpr const char *LastJobLog = "Memos:\r\nBackup successful.\r\n";

    q57::testing::UserWorld world{"q57-cli-test"};
    fs::path root = world.root();
};

struct FileCase {
    const char *name;
    std::string item;
    std::string fileName;
    std::string content;
    std::vector<std::string> options;
    int exitCode;
    std::string log; // after the heading
    std::string err;
};

TEST_F(ValidateCommand, HandWrittenFilesOfEachKind)
{
    const std::string label20(20, 'L');
    const FileCase cases[] = {
        {"preferences (\"abc\" and its check value)",
         "preferences",
         "p.opt",
         std::string("\x20\x9E\x9D\x9C\xB4\x95", 6),
         {},
         0,
         "\nPreferences:\nValidated successfully.\n",
         ""},
        {"preferences given a folders file",
         "preferences",
         "f.fld",
         "\x22\xBE",
         {},
         1,
         "\nPreferences:\nFile cannot be restored. It's not a preferences file.\n",
         "Q57 Backup: Invalid Preferences file. Please View Status Log.\n"},
        {"folders with a damaged block",
         "folders",
         "f.fld",
         std::string("\x22\x9F\x9D\x9C\xB4\x95", 6),
         {},
         1,
         "\nFolders:\nFile is corrupt. CRC failure.\n",
         "Q57 Backup: Invalid Folders file. Please View Status Log.\n"},
        {"address book",
         "addressBook",
         "book.adr",
         "# family\r\n0\t1\tFamily\t20\r\n20\t\"[WA,HE]\"\t1\tAnn\t\t\tann@w\tann@h\r\n",
         {},
         0,
         "\nAddress Book:\nValidated successfully.\n",
         ""},
        {"address book over the capacity",
         "addressBook",
         "book.adr",
         "21\t[]\t1\tAnn\r\n",
         {"--capacity", "4"},
         1,
         "\nAddress Book:\nRecord ID (21)(for both groups and contacts) exceeds maximum allowed(Max. 20).\n",
         "Q57 Backup: Invalid Address Book file. Please View Status Log.\n"},
        {"memos",
         "memos",
         "m.mmo",
         "<main>\r\n<label>Shop</label>\r\n<text>Milk</text>\r\n</main>\r\n",
         {},
         0,
         "\nMemos:\nValidated successfully.\n",
         ""},
        {"memos for a level-2 device",
         "memos",
         "m.mmo",
         "<main><label>" + label20 + "</label><text>t</text></main>",
         {"--level2"},
         0,
         "\nMemos:\nMemo [" + label20.substr(0, 19) + "]: Label truncated to 19 characters.\nValidated successfully.\n",
         "Q57 Backup: One or more memo labels were truncated prior to being restored. Please View Status Log.\n"},
        {"memos without end",
         "memos",
         "m.mmo",
         "<main><label>a</label><text>b</text>",
         {},
         1,
         "\nMemos:\nUnexpected End Of Memos File. Expecting </main> tag in file.\n",
         "Q57 Backup: Invalid Memos file. Please View Status Log.\n"},
        {"quicktext",
         "quicktext",
         "q.qtx",
         "<main>\r\n<text>On my way</text>\r\n</main>",
         {},
         0,
         "\nQuicktext:\nValidated successfully.\n",
         ""},
        {"empty quicktext", "quicktext", "q.qtx", "", {}, 0, "\nQuicktext:\nEmpty file not validated.\n", ""},
        {"a label with control characters",
         "memos",
         "m.mmo",
         "<main><label>\x1b[2J\x1b]0;" + label20.substr(0, 12) + "</label><text>t</text></main>",
         {"--level2"},
         0,
         "\nMemos:\nMemo [\\x1B[2J\\x1B]0;" + label20.substr(0, 11) +
             "]: Label truncated to 19 characters.\nValidated successfully.\n",
         "Q57 Backup: One or more memo labels were truncated prior to being restored. Please View Status Log.\n"},
    };
    plantStatusLog();
    for (const FileCase &c : cases) {
        fs::remove_all(root / "data");
        fs::create_directories(root / "data");
        const fs::path file = write(c.fileName, c.content);
        std::vector<std::string> arguments{"validate", c.item, file.string()};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const Outcome outcome = cli(arguments);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.name;
        EXPECT_EQ(outcome.out, Heading + c.log) << c.name;
        EXPECT_EQ(outcome.err, c.err) << c.name;
        expectPrivateFolderAsPlanted(c.name);
        EXPECT_EQ(q57::testing::readWhole(file), c.content) << c.name;
        EXPECT_EQ(dataFiles(), std::set<std::string>{c.fileName}) << c.name;
    }
}

TEST_F(ValidateCommand, FileInTheCurrentFolderAndMissingFiles)
{
    const fs::path file = write("m.mmo", "<main></main>");
    ASSERT_EQ(chdir((root / "data").c_str()), 0);
    EXPECT_EQ(cli({"validate", "memos", "m.mmo"}).exitCode, 0);
    EXPECT_EQ(dataFiles(), std::set<std::string>{"m.mmo"});

    const Outcome missing = cli({"validate", "memos", "nope.mmo"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, Heading);
    EXPECT_EQ(missing.err, "Q57 Backup: Unable to restore. File nope.mmo does not exist.\n");

    // A name's control characters reach the terminal escaped.
    const Outcome strange = cli({"validate", "memos", "no\x1b[2Jpe.mmo"});
    EXPECT_EQ(strange.exitCode, 1);
    EXPECT_EQ(strange.err, "Q57 Backup: Unable to restore. File no\\x1B[2Jpe.mmo does not exist.\n");
    ASSERT_EQ(chdir("/"), 0);

    // Where the bare name would hide the trouble, the full path is shown.
    const std::string inMissingFolder = (root / "data" / "gone" / "m.mmo").string();
    const std::string folder = (root / "data").string();
    for (const std::string &path : {inMissingFolder, folder}) {
        const Outcome outcome = cli({"validate", "memos", path});
        EXPECT_EQ(outcome.exitCode, 1) << path;
        EXPECT_EQ(outcome.out, "") << path;
        EXPECT_EQ(outcome.err, "Q57 Backup: Unable to restore. File " + path + " does not exist.\n");
    }
}

// What is not a file, or is larger than its item allows, is refused at once
// and never copied into the private folder (a hang here is the fault: today's
// /dev/zero filled the disk).
TEST_F(ValidateCommand, HostileFilesAreRefusedAtOnce)
{
    using q57::testing::Hostile;
    const struct {
        Hostile kind;
        const char *item;
        std::uintmax_t limit;
        std::string reason; // %s stands for the path
    } cases[] = {
        {Hostile::Fifo, "memos", 0, "'%s' is not a regular file."},
        {Hostile::Device, "addressBook", 0, "'%s' is not a regular file."},
        {Hostile::LinkToDevice, "preferences", 0, "'%s' is not a regular file."},
        {Hostile::OverLimit, "addressBook", 2 << 20, "File '%s' is larger than 2 MiB, the limit for Address Book files."},
        {Hostile::OverLimit, "quicktext", 256 << 10, "File '%s' is larger than 256 KiB, the limit for Quicktext files."},
    };
    plantStatusLog();
    for (const auto &c : cases) {
        fs::remove_all(root / "data");
        fs::create_directories(root / "data");
        const std::string path = q57::testing::plantHostile(c.kind, root / "data", "item.dat", c.limit).string();
        const Outcome outcome = cli({"validate", c.item, path});
        const size_t at = c.reason.find("%s");
        EXPECT_EQ(outcome.exitCode, 1) << path;
        EXPECT_EQ(outcome.out, "") << path;
        EXPECT_EQ(outcome.err,
                  "Q57 Backup: Unable to restore. " + c.reason.substr(0, at) + path + c.reason.substr(at + 2) + "\n");
        expectPrivateFolderAsPlanted(path);
    }
}

// The passes stage their files in the private folder, never beside FILE: a
// folder whose temporary names are taken (as on read-only media, where nothing
// can be created) still validates.
TEST_F(ValidateCommand, StagesInThePrivateFolder)
{
    plantStatusLog();
    const fs::path file = write("m.mmo", "<main><label>Shop</label><text>Milk</text></main>");
    fs::create_directories(root / "data" / "~mmoxxxx.tmp");
    fs::create_directories(root / "data" / "~mmoxxxx.tmp2");
    const Outcome outcome = cli({"validate", "memos", file.string()});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(outcome.out, Heading + "\nMemos:\nValidated successfully.\n");
    EXPECT_EQ(dataFiles(), (std::set<std::string>{"m.mmo", "~mmoxxxx.tmp", "~mmoxxxx.tmp2"}));
    expectPrivateFolderAsPlanted("after the validation");
}

// A job of this user in another process (here: this test holding the lock)
// shares the item files: validate waits for nobody and touches nothing. The
// lock is in the runtime folder, else the settings folder, so a run with
// another TMPDIR finds it too.
TEST_F(ValidateCommand, RefusedWhileAJobRunsWhateverItsTmpdir)
{
    const fs::path file = write("m.mmo", "<main><label>Shop</label><text>Milk</text></main>");
    withJobLockInEachPlace(
        root,
        [&](const std::string &tmpdir) {
            plantStatusLog();
            const Outcome outcome = cli({"validate", "memos", file.string()});
            EXPECT_EQ(outcome.exitCode, 1);
            EXPECT_EQ(outcome.err, refusalByThisProcess());
            EXPECT_EQ(dataFiles(), std::set<std::string>{"m.mmo"});
            expectPrivateFolderAsPlanted("while locked, TMPDIR " + tmpdir);
        },
        [&] { EXPECT_EQ(cli({"validate", "memos", file.string()}).exitCode, 0); });
}

TEST_F(ValidateCommand, UsageErrors)
{
    const fs::path file = write("m.mmo", "<main></main>").string();
    const std::vector<std::vector<std::string>> usages = {
        {},
        {"frobnicate"},
        {"validate"},
        {"validate", "memos"},
        {"validate", "memos", file.string(), "extra"},
        {"validate", "calendar", file.string()},
        {"validate", "memos", file.string(), "--capacity"},
        {"validate", "memos", file.string(), "--capacity", "70000"},
        {"validate", "memos", file.string(), "--capacity", "-1"},
        {"validate", "memos", file.string(), "--fast"},
    };
    for (const auto &arguments : usages) {
        const Outcome outcome = cli(arguments);
        EXPECT_EQ(outcome.exitCode, 2) << ::testing::PrintToString(arguments);
        EXPECT_EQ(outcome.out, "") << ::testing::PrintToString(arguments);
        EXPECT_NE(outcome.err.find("validate ITEM FILE"), std::string::npos) << ::testing::PrintToString(arguments);
    }
    EXPECT_EQ(q57::testing::readWhole(file), "<main></main>");

    const struct {
        std::vector<std::string> arguments;
        std::string reason;
    } reasons[] = {
        {{"validate", "memos", file.string(), "extra"}, "unknown argument 'extra'\n"},
        {{"validate", "memos", file.string(), "--fast"}, "unknown argument '--fast'\n"},
        {{"validate", "calendar\x1b", file.string()}, "unknown ITEM 'calendar\\x1B'\n"},
    };
    for (const auto &c : reasons) {
        const Outcome outcome = cli(c.arguments);
        EXPECT_EQ(outcome.err.rfind(c.reason, 0), 0u) << outcome.err;
    }

    const Outcome help = cli({"validate", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("usage: q57backup-cli validate ITEM FILE [--level2] [--capacity N]\n", 0), 0u) << help.out;
    EXPECT_EQ(help.err, "");
}

} // namespace
} // namespace q57::test
