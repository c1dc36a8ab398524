// The backup's target preparation and commit: what the user sees and what is
// left on disk, including when the process is killed between any two steps.

#include "StagingFixture.h"

#include "jobs/BackupStaging.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

namespace q57::test {
namespace {

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
    }

    bool prepare(const StagingObserver &observer = {})
    {
        return prepareBackupTarget(addressBook, ui, log, observer);
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
        {"file named like the temporary", "~adrxxxx.tmp2", {}, true,
         "Cannot backup Address Book. File '~adrxxxx.tmp2' is in use.", true},
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
        if (c.fileName == "book.adr" && std::filesystem::is_regular_file(folder / "book.adr")) {
            EXPECT_EQ(readFile("book.adr"), "old");
        }
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
                                 StagingStep::TempFileFlushed, StagingStep::FileReplaced,
                                 StagingStep::FolderFlushed};
    for (const bool existed : {true, false}) {
        for (const StagingStep stop : steps) {
            if (!existed && stop <= StagingStep::BackupCopyPlaced)
                continue; // no copy is made of a file that does not exist
            SCOPED_TRACE(testing::Message() << "existed " << existed << ", step " << static_cast<int>(stop));
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
