// SPDX-License-Identifier: MIT
// The backup's target preparation and commit: what the user sees and what is
// left on disk, including when the process is killed between any two steps.

#include "StagingFixture.h"

#include "files/DurableFiles.h"
#include "jobs/BackupStaging.h"
#include "tests/support/HostileFiles.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

namespace q57::test {
namespace {

using q57::testing::Hostile;
using q57::testing::plantHostile;

void put(const std::filesystem::path &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

class BackupStagingTest : public StagingFixture {
protected:
    BackupStagingTest()
    {
        flags.backupMode = true;
        setUpItem(addressBook, "Address Book", "adr", "book.adr");
        names.temporaryNames = {"~adrxxxx.tmp", "~adrxxxx.tmp2", "~mmoxxxx.tmp", "~mmoxxxx.tmp2"};
    }

    bool prepare(const StagingObserver &observer = {})
    {
        return prepareBackupTarget(AddressBook, addressBook, ui, log, names, observer);
    }

    // What a device read and the conversion passes would leave: the finished
    // first temporary file.
    void fillTemporary(const std::string &bytes)
    {
        addressBook.stream << bytes;
        addressBook.closeStreams();
    }

    bool commit(const StagingObserver &observer = {})
    {
        return commitBackupFile(addressBook, addressBook.tempName, ui, log, observer);
    }

    mode_t modeOf(const std::string &name) const
    {
        struct stat status {};
        EXPECT_EQ(::stat((folder / name).c_str(), &status), 0) << name;
        return status.st_mode & 07777;
    }

    JobFileNames names;
};

TEST_F(BackupStagingTest, NewFileIsStagedAndCommittedWithoutQuestion)
{
    ASSERT_TRUE(prepare());
    EXPECT_EQ(files(), (std::set<std::string>{"~adrxxxx.tmp"}));
    fillTemporary("new contacts");
    ASSERT_TRUE(commit());
    EXPECT_EQ(readFile("book.adr"), "new contacts");
    EXPECT_EQ(files(), (std::set<std::string>{"book.adr"}));
    EXPECT_TRUE(ui.questions().empty());
    EXPECT_EQ(logged, "Backup successful.\n");
}

TEST_F(BackupStagingTest, ExistingFileIsAskedForAndKeptInItsBackupCopy)
{
    writeFile("book.adr", "old contacts");
    writeFile("book.bak", "older contacts");
    ui.queueAnswers({true});
    ASSERT_TRUE(prepare());
    EXPECT_EQ(ui.questions(), std::vector<std::string>{"File book.adr already exists.\nPress OK to overwrite."});
    EXPECT_EQ(readFile("book.bak"), "old contacts");
    EXPECT_EQ(readFile("book.adr"), "old contacts");
    fillTemporary("new contacts");
    ASSERT_TRUE(commit());
    EXPECT_EQ(readFile("book.adr"), "new contacts");
    EXPECT_EQ(files(), (std::set<std::string>{"book.adr", "book.bak"}));
}

TEST_F(BackupStagingTest, BackupCopyNames)
{
    EXPECT_EQ(backupCopyName("book.adr"), "book.bak");
    EXPECT_EQ(backupCopyName("a.adr.adr"), "a.adr.bak");
    EXPECT_EQ(backupCopyName(".adr"), ".bak");
    EXPECT_EQ(backupCopyName("x"), ".bak");
}

// Each refusal leaves the folder as it was (apart from what the case plants).
TEST_F(BackupStagingTest, RefusalsLeaveTheUsersFilesAlone)
{
    struct Case {
        const char *what;
        std::string fileName;
        std::function<void(const std::filesystem::path &)> plant;
        bool answer;
        std::string message;
        bool logged;
    };
    const std::vector<Case> cases = {
        {"only spaces", "   ", {}, true, "Please Enter a Address Book Filename.", false},
        {"overwrite cancelled", "book.adr", [](const std::filesystem::path &f) { put(f / "book.adr", "old"); }, false,
         "", false},
        {"target is a folder", "book.adr",
         [](const std::filesystem::path &f) { std::filesystem::create_directory(f / "book.adr"); }, true,
         "Unable to backup Address Book. Cannot create backup copy 'book.bak'.", true},
        {"backup copy name is a folder", "book.adr",
         [](const std::filesystem::path &f) {
             put(f / "book.adr", "old");
             std::filesystem::create_directory(f / "book.bak");
         },
         true, "Unable to backup Address Book. Cannot create backup copy 'book.bak'.", true},
        {"temporary name is a folder", "book.adr",
         [](const std::filesystem::path &f) {
             std::filesystem::create_directory(f / "~adrxxxx.tmp");
             std::filesystem::create_directory(f / "~adrxxxx.tmp" / "keep");
         },
         true, "Cannot create temporary file '~adrxxxx.tmp'. File may be in use.", true},
        // An existing target is read for its ".bak" copy: what is not a
        // file, or is larger than any book, is refused before the question
        // (a hang here is the fault).
        {"target is a FIFO", "book.adr",
         [](const std::filesystem::path &f) { plantHostile(Hostile::Fifo, f, "book.adr", 0); }, true,
         "Unable to backup Address Book. '" + (folder / "book.adr").string() + "' is not a regular file.", true},
        {"target is a link to a device", "book.adr",
         [](const std::filesystem::path &f) { plantHostile(Hostile::LinkToDevice, f, "book.adr", 0); }, true,
         "Unable to backup Address Book. '" + (folder / "book.adr").string() + "' is not a regular file.", true},
        {"target is over the limit", "book.adr",
         [](const std::filesystem::path &f) { plantHostile(Hostile::OverLimit, f, "book.adr", 2 << 20); }, true,
         "Unable to backup Address Book. File '" + (folder / "book.adr").string() +
             "' is larger than 2 MiB, the limit for Address Book files.",
         true},
        {"file named like the temporary",
         "~adrxxxx.tmp2",
         {},
         true,
         "Cannot backup Address Book. File '~adrxxxx.tmp2' is in use.",
         true},
        {"file named like another item's temporary",
         "~mmoxxxx.tmp",
         {},
         true,
         "Cannot backup Address Book. File '~mmoxxxx.tmp' is in use.",
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(folder);
        std::filesystem::create_directory(folder);
        addressBook.fileName = c.fileName;
        if (c.plant)
            c.plant(folder);
        const auto before = files();
        ui.clearEvents();
        ui.setDefaultAnswer(c.answer);
        logged.clear();
        log.openAt((folder / "statusLog.txt").string());

        EXPECT_FALSE(prepare());
        addressBook.closeStreams();
        EXPECT_EQ(files(), before);
        if (c.message.empty()) {
            EXPECT_TRUE(ui.messages().empty());
        } else {
            EXPECT_EQ(ui.messages(), std::vector<std::string>{c.message});
        }
        EXPECT_EQ(logged, c.logged ? c.message : "");
        if (c.message.find("regular file") != std::string::npos || c.message.find("larger") != std::string::npos) {
            EXPECT_TRUE(ui.questions().empty()) << "refused before the question";
        }
        if (c.fileName == "book.adr" && std::filesystem::is_regular_file(folder / "book.adr")) {
            EXPECT_TRUE(readFile("book.adr") == "old" || c.message.find("larger") != std::string::npos);
        }
    }
}

// The ".bak" name keeps its rule unless the job would overwrite its own copy,
// another item's file or the file itself; then the full name gets ".bak".
TEST_F(BackupStagingTest, BackupCopyPathNeverOverwritesWhatTheJobHolds)
{
    const std::string dir = addressBook.directory;
    struct Case {
        const char *what;
        std::string fileName;
        std::set<std::string> itemFiles;
        std::set<std::string> copiesMade;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"the rule", "q57.adr", {}, {}, "q57.bak"},
        {"copy of another item made this job", "q57.adr", {}, {dir + "q57.bak"}, "q57.adr.bak"},
        {"the file is itself a .bak", "q57.bak", {}, {}, "q57.bak.bak"},
        {"another item's file", "q57.adr", {dir + "q57.bak"}, {}, "q57.adr.bak"},
        {"fallback taken too", "q57.adr", {dir + "q57.adr.bak"}, {dir + "q57.bak"}, "q57.adr.bak.bak"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        addressBook.fileName = c.fileName;
        names.itemFiles = c.itemFiles;
        names.itemFiles.insert(addressBook.filePath());
        names.copiesMade = c.copiesMade;
        EXPECT_EQ(backupCopyPath(addressBook, names), dir + c.expected);
    }
}

// Two items of one job whose files share the stem: the second keeps its old
// content under its full name and the log says where.
TEST_F(BackupStagingTest, SecondItemWithTheSameStemKeepsItsOwnCopy)
{
    setUpItem(quicktext, "Quicktext", "qtx", "q57.qtx");
    addressBook.fileName = "q57.adr";
    writeFile("q57.adr", "old contacts");
    writeFile("q57.qtx", "old quicktext");
    names.itemFiles = {addressBook.filePath(), quicktext.filePath()};
    ui.setDefaultAnswer(true);
    ASSERT_TRUE(prepare());
    ASSERT_TRUE(prepareBackupTarget(Quicktext, quicktext, ui, log, names));
    EXPECT_EQ(readFile("q57.bak"), "old contacts");
    EXPECT_EQ(readFile("q57.qtx.bak"), "old quicktext");
    EXPECT_EQ(logged, "Backup copy of 'q57.qtx' kept as 'q57.qtx.bak'.\n");
}

// The commit keeps the file's owner (only root can give a file away).
TEST_F(BackupStagingTest, CommitKeepsTheOwner)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another owner";
    ui.setDefaultAnswer(true);
    writeFile("book.adr", "old");
    ASSERT_EQ(::chown((folder / "book.adr").c_str(), 1234, 5678), 0);
    ASSERT_TRUE(prepare());
    fillTemporary("new");
    ASSERT_TRUE(commit());
    struct stat status {};
    ASSERT_EQ(::stat((folder / "book.adr").c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 1234u);
    EXPECT_EQ(status.st_gid, 5678u);
}

// The commit keeps what the user set up around the file: its permissions and
// a symbolic link that leads to it from another folder.
TEST_F(BackupStagingTest, CommitKeepsModeAndLinks)
{
    ui.setDefaultAnswer(true);
    writeFile("book.adr", "old");
    ASSERT_EQ(::chmod((folder / "book.adr").c_str(), 0640), 0);
    ASSERT_TRUE(prepare());
    fillTemporary("new");
    ASSERT_TRUE(commit());
    EXPECT_EQ(readFile("book.adr"), "new");
    EXPECT_EQ(modeOf("book.adr"), 0640u);

    struct LinkCase {
        const char *what;
        std::string linkTarget; // as written in the link, relative to the folder
        std::string realFile;   // where the content must land
        bool existed;
    };
    const std::vector<LinkCase> links = {
        {"into another folder", "synced/book.adr", "synced/book.adr", true},
        {"absolute, into another folder", (folder / "synced/abs.adr").string(), "synced/abs.adr", true},
        {"within the folder", "real.adr", "real.adr", true},
        {"to a file not there yet", "synced/new.adr", "synced/new.adr", false},
    };
    for (const LinkCase &c : links) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder / "synced");
        if (c.existed) {
            writeFile(c.realFile, "old");
            ASSERT_EQ(::chmod((folder / c.realFile).c_str(), 0604), 0);
        }
        std::filesystem::create_symlink(c.linkTarget, folder / "book.adr");
        logged.clear();
        ASSERT_TRUE(prepare());
        fillTemporary("new");
        ASSERT_TRUE(commit());
        EXPECT_TRUE(std::filesystem::is_symlink(folder / "book.adr"));
        EXPECT_EQ(readFile(c.realFile), "new");
        EXPECT_EQ(modeOf(c.realFile), c.existed ? 0604u : defaultFileMode());
        EXPECT_FALSE(std::filesystem::exists(folder / "~adrxxxx.tmp"));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "synced"), {}),
                  c.realFile.rfind("synced/", 0) == 0 ? 1 : 0);
    }
}

// Temporary names are created new: a link planted at one never lets the
// staging write through it.
TEST_F(BackupStagingTest, PlantedLinksAtTemporaryNamesAreNotFollowed)
{
    for (const std::string planted : {"~adrxxxx.tmp", "~adrxxxx.tmp2"}) {
        SCOPED_TRACE(planted);
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder / "elsewhere");
        writeFile("elsewhere/victim", "precious");
        writeFile("book.adr", "old");
        std::filesystem::create_symlink(folder / "elsewhere/victim", folder / planted);
        names.copiesMade.clear(); // each round is a job of its own
        ui.setDefaultAnswer(true);
        ASSERT_TRUE(prepare());
        fillTemporary("new");
        ASSERT_TRUE(commit());
        EXPECT_EQ(readFile("elsewhere/victim"), "precious");
        EXPECT_EQ(readFile("book.adr"), "new");
        EXPECT_EQ(readFile("book.bak"), "old");
    }
}

TEST_F(BackupStagingTest, CommitOntoAFolderFailsWithItsMessage)
{
    ASSERT_TRUE(prepare());
    fillTemporary("new");
    std::filesystem::create_directory(folder / "book.adr");
    EXPECT_FALSE(commit());
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Unable to backup to file. 'book.adr' is in use."});
    EXPECT_EQ(logged, "Unable to backup. File 'book.adr' is in use.");
    EXPECT_EQ(readFile("~adrxxxx.tmp"), "new");
}

// A child process runs the whole staging of one item and SIGKILLs itself right
// after step `stop`; whatever the step, the item's file holds either its old
// or its complete new content and the ".bak" copy is whole.
TEST_F(BackupStagingTest, KillAtEveryStepLeavesOldOrNewContent)
{
    const std::string previousCopy = "previous backup copy";
    const std::string oldContent(40000, 'o');
    const std::string newContent(70000, 'n');
    const StagingStep steps[] = {StagingStep::BackupCopyWritten, StagingStep::BackupCopyPlaced,
                                 StagingStep::TempFileFlushed, StagingStep::FileReplaced, StagingStep::FolderFlushed};
    for (const bool existed : {true, false}) {
        for (const StagingStep stop : steps) {
            if (!existed && stop <= StagingStep::BackupCopyPlaced)
                continue; // no copy is made of a file that does not exist
            SCOPED_TRACE(::testing::Message() << "existed " << existed << ", step " << static_cast<int>(stop));
            std::filesystem::remove_all(folder);
            std::filesystem::create_directory(folder);
            writeFile("book.bak", previousCopy);
            if (existed)
                writeFile("book.adr", oldContent);
            ui.setDefaultAnswer(true);

            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                const StagingObserver killAt = [stop](StagingStep step) {
                    if (step == stop)
                        raise(SIGKILL);
                };
                if (!prepare(killAt))
                    _exit(3);
                fillTemporary(newContent);
                commit(killAt);
                _exit(4); // the step never came
            }
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;

            const bool replaced = stop >= StagingStep::FileReplaced;
            if (replaced)
                EXPECT_EQ(readFile("book.adr"), newContent);
            else if (existed)
                EXPECT_EQ(readFile("book.adr"), oldContent);
            else
                EXPECT_FALSE(std::filesystem::exists(folder / "book.adr"));
            const bool copied = existed && stop >= StagingStep::BackupCopyPlaced;
            EXPECT_EQ(readFile("book.bak"), copied ? oldContent : previousCopy);
        }
    }
}

} // namespace
} // namespace q57::test
