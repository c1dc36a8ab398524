// SPDX-License-Identifier: MIT
// The hand-off to the preview library through the test doubles of
// PreviewDouble.cpp: the bytes the library is given, what replaces the user's
// files afterwards, and what is kept when that cannot happen.

#include "MergeFixture.h"

#include "app/JobLock.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace q57::test {
namespace {

namespace fs = std::filesystem;

const std::string EditedAddressBook = "16\t[WA]\t1\tEdited\tContact\r\n";
const std::string NotFound = "The libGlimpsa.so was not found.";

mode_t permissionsOf(const std::string &path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

class PreviewHandOff : public MergeFixture {
protected:
    bool preview(std::vector<std::string> folders, int mode)
    {
        services.libraryFolders = std::move(folders);
        return showInPreviewLibrary(services, mode);
    }
    bool stageAndPreview(const char *folder, int mode)
    {
        return stageAddressBooks(services, mode) && preview({folder}, mode);
    }
    // A staging file as the staging step would leave i
    void plantStaging(const std::string &bytes) const { writeFile(temp + StagingFileName, bytes); }
    std::string controlBytes() const
    {
        return temp + StagingFileName + "\r\n" + temp + ResultFileName; // no line break after the second path
    }
    // What the doubles leave in the temporary folder besides the merge's files.
    static std::set<std::string> withDoubleRecords(std::set<std::string> names)
    {
        names.insert({"preview-double-saw.txt", "preview-double-result-before.txt"});
        return names;
    }
};

// A look at one file that changes nothing still rewrites it: it comes back
// without its comments and empty lines, the former bytes in the ".bak" copy.
TEST_F(PreviewHandOff, UnchangedPreviewRewritesTheChosenFile)
{
    const std::string q57Book = "# mine\r\n\r\n20\tA\r\n";
    const std::string w300Book = "#w\n30\tB\n";
    const struct {
        int mode;
        const char *chosen;
        const char *other;
        const char *copy;
        std::string before;
        std::string after;
    } cases[] = {{PreviewQ57, "q57.adr", "w300.adr", "q57.bak", q57Book, "20\tA\r\n"},
                 {PreviewW300, "w300.adr", "q57.adr", "w300.bak", w300Book, "30\tB\r\n"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.chosen);
        writeData("q57.adr", q57Book);
        writeData("w300.adr", w300Book);
        writeFile(temp + c.copy, "an older copy");
        EXPECT_FALSE(stageAndPreview(PREVIEW_DOUBLE_UNCHANGED, c.mode));
        EXPECT_EQ(readData(c.chosen), c.after);
        EXPECT_EQ(readTemp(c.copy), c.before);
        EXPECT_EQ(readData(c.other), c.mode == PreviewQ57 ? w300Book : q57Book);
        EXPECT_EQ(readTemp("preview-double-saw.txt"), controlBytes());
        EXPECT_EQ(readTemp("preview-double-result-before.txt"), c.after);
        EXPECT_EQ(tempFiles(), withDoubleRecords({c.copy}));
        EXPECT_TRUE(ui.messages().empty());
        fs::remove(temp + c.copy);
    }
}

TEST_F(PreviewHandOff, EditedMergeBecomesTheMergedFile)
{
    writeData("q57.adr", "20\tA\r\n");
    writeData("w300.adr", "30\tB\r\n");
    // Leftover links at the fixed names are replaced, never written through.
    const std::string elsewhere = writeData("elsewhere.txt", "not yours");
    fs::create_symlink(elsewhere, temp + ControlFileName);
    fs::create_symlink(elsewhere, temp + ResultFileName);

    EXPECT_TRUE(stageAndPreview(PREVIEW_DOUBLE_EDITING, MergeBoth));
    EXPECT_EQ(mergedFilePath(catalogue), data + "mergedab.adr");
    EXPECT_EQ(readData("mergedab.adr"), EditedAddressBook);
    EXPECT_EQ(readTemp("preview-double-saw.txt"), controlBytes());
    EXPECT_EQ(readTemp("preview-double-result-before.txt"), "16\tA\r\n17\tB\r\n");
    EXPECT_EQ(readFile(elsewhere), "not yours");
    EXPECT_EQ(readData("q57.adr"), "20\tA\r\n");
    EXPECT_EQ(readData("w300.adr"), "30\tB\r\n");
    EXPECT_EQ(tempFiles(), withDoubleRecords({}));
    EXPECT_TRUE(ui.messages().empty());
}

// Without a usable library nothing is handed over or placed, and the staging
// file stays until the next action overwrites i
TEST_F(PreviewHandOff, LibraryThatIsNotThere)
{
    fs::create_directories(data + "empty");
    fs::create_directories(data + "folder/libGlimpsa.so");
    fs::create_directories(data + "garbage");
    writeFile(data + "garbage/libGlimpsa.so", "not a library");
    const struct {
        const char *what;
        std::vector<std::string> folders;
    } cases[] = {
        {"no folder", {}},
        {"a folder without it", {data + "empty/"}},
        {"a folder by that name", {data + "folder/"}},
        {"a file that is no library", {data + "garbage/"}},
        {"a library without GlimpsaShow", {PREVIEW_DOUBLE_WITHOUT_ENTRY}},
    };
    const std::string q57Book = "# mine\r\n20\tA\r\n";
    writeData("q57.adr", q57Book);
    for (const auto &c : cases) {
        ui.clearEvents();
        ASSERT_TRUE(stageAddressBooks(services, PreviewQ57)) << c.what;
        EXPECT_FALSE(preview(c.folders, PreviewQ57)) << c.what;
        EXPECT_EQ(ui.messages(), std::vector<std::string>{NotFound}) << c.what;
        EXPECT_EQ(tempFiles(), std::set<std::string>{StagingFileName}) << c.what;
        EXPECT_EQ(readTemp(StagingFileName), "20\tA\r\n") << c.what;
        EXPECT_EQ(readData("q57.adr"), q57Book) << c.what;
    }
}

TEST_F(PreviewHandOff, FirstUsableLibraryIsTheOneShown)
{
    writeData("q57.adr", "20\tA\r\n");
    writeData("w300.adr", "30\tB\r\n");
    ASSERT_TRUE(stageAddressBooks(services, MergeBoth));
    EXPECT_TRUE(
        preview({data + "missing/", PREVIEW_DOUBLE_WITHOUT_ENTRY, PREVIEW_DOUBLE_EDITING, PREVIEW_DOUBLE_UNCHANGED},
                MergeBoth));
    EXPECT_EQ(readData("mergedab.adr"), EditedAddressBook);
    EXPECT_TRUE(ui.messages().empty());
}

// What the user kept in the preview survives a target that cannot be
// replaced: the result file stays in the temporary folder, and the message
// says where; the user's file is as it was.
TEST_F(PreviewHandOff, OutcomeThatCannotBePlacedIsKept)
{
    const std::string kept = "The address book is kept in '" + temp + ResultFileName + "'.";
    const struct {
        const char *what;
        int mode;
        std::function<void()> plant;
        std::string message;
        std::string q57After; // "" when the Q57 file is not a plain file
    } cases[] = {
        {"merged file's folder is a file", MergeBoth,
         [this] {
             writeData("plain", "a file");
             q57.directory = data + "plain/";
         },
         "Unable to save the address book to '" + data + "plain/mergedab.adr'.\n" + kept, "old"},
        {"merged file is a folder", MergeBoth, [this] { fs::create_directory(data + "mergedab.adr"); },
         "Unable to save the address book to '" + data + "mergedab.adr'.\n" + kept, "old"},
        {"Q57 file is a folder", PreviewQ57,
         [this] {
             fs::remove(data + "q57.adr");
             fs::create_directory(data + "q57.adr");
         },
         "Unable to save the address book to '" + data + "q57.adr'. Cannot create backup copy '" + temp +
             "q57.bak'.\n" + kept,
         ""},
        {"backup copy name is a folder", PreviewQ57, [this] { fs::create_directory(temp + "q57.bak"); },
         "Unable to save the address book to '" + data + "q57.adr'. Cannot create backup copy '" + temp +
             "q57.bak'.\n" + kept,
         "old"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ui.clearEvents();
        fs::remove_all(data);
        fs::create_directory(data);
        for (const auto &name : tempFiles())
            fs::remove_all(temp + name);
        q57.directory = data;
        writeData("q57.adr", "old");
        c.plant();
        plantStaging("16\tA\r\n");

        EXPECT_FALSE(preview({PREVIEW_DOUBLE_UNCHANGED}, c.mode));
        EXPECT_EQ(ui.messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(readTemp(ResultFileName), "16\tA\r\n");
        EXPECT_FALSE(fs::exists(temp + StagingFileName));
        EXPECT_FALSE(fs::exists(temp + ControlFileName));
        if (!c.q57After.empty()) {
            EXPECT_EQ(readData("q57.adr"), c.q57After);
        }
    }
}

TEST_F(PreviewHandOff, ReplacedFileKeepsItsModeAndLink)
{
    writeData("real.adr", "# old\r\n20\tA\r\n");
    fs::permissions(data + "real.adr", fs::perms(0640));
    fs::create_symlink("real.adr", data + "link.adr");
    q57.fileName = "link.adr";
    EXPECT_FALSE(stageAndPreview(PREVIEW_DOUBLE_UNCHANGED, PreviewQ57));
    EXPECT_TRUE(fs::is_symlink(data + "link.adr"));
    EXPECT_EQ(readData("real.adr"), "20\tA\r\n");
    EXPECT_EQ(permissionsOf(data + "real.adr"), 0640u);
    EXPECT_EQ(readTemp("link.bak"), "# old\r\n20\tA\r\n");

    writeData("w300.adr", "30\tB\r\n");
    writeData("mergedab.adr", "last merge");
    fs::permissions(data + "mergedab.adr", fs::perms(0604));
    EXPECT_TRUE(stageAndPreview(PREVIEW_DOUBLE_EDITING, MergeBoth));
    EXPECT_EQ(readData("mergedab.adr"), EditedAddressBook);
    EXPECT_EQ(permissionsOf(data + "mergedab.adr"), 0604u);
    EXPECT_TRUE(ui.messages().empty());
}

// The file may be gone by the time the user closes the preview: there is
// nothing to keep a copy of, and the outcome takes its place.
TEST_F(PreviewHandOff, MissingFileIsPlacedWithoutACopy)
{
    plantStaging("20\tA\r\n");
    EXPECT_FALSE(preview({PREVIEW_DOUBLE_UNCHANGED}, PreviewQ57));
    EXPECT_EQ(readData("q57.adr"), "20\tA\r\n");
    EXPECT_EQ(tempFiles(), withDoubleRecords({}));
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(PreviewHandOff, MergeWithoutPreview)
{
    writeData("q57.adr", "20\tA\r\n");
    writeData("w300.adr", "30\tB\r\n");
    EXPECT_EQ(placeMergeWithoutPreview(services), data + "mergedab.adr");
    EXPECT_EQ(readData("mergedab.adr"), "16\tA\r\n17\tB\r\n");
    EXPECT_EQ(tempFiles(), std::set<std::string>{});

    fs::remove(data + "mergedab.adr");
    fs::create_directory(data + "mergedab.adr");
    EXPECT_EQ(placeMergeWithoutPreview(services), "");
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Unable to save the address book to '" + data +
                                                      "mergedab.adr'.\nThe address book is kept in '" + temp +
                                                      StagingFileName + "'."});
    EXPECT_EQ(readTemp(StagingFileName), "16\tA\r\n17\tB\r\n");

    ui.clearEvents();
    fs::remove(data + "w300.adr");
    EXPECT_EQ(placeMergeWithoutPreview(services), "");
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Unable to preview. W300 Address Book File does not exist."});
}

TEST_F(PreviewHandOff, OneMergeAtATime)
{
    JobLock first;
    ASSERT_TRUE(takeMergeLock(first, services));
    JobLock second;
    EXPECT_FALSE(takeMergeLock(second, services));
    EXPECT_EQ(ui.messages(),
              std::vector<std::string>{"Another Q57 Backup job is running (pid " + std::to_string(getpid()) + ")."});
    first.release();
    EXPECT_TRUE(takeMergeLock(second, services));
}

} // namespace
} // namespace q57::test
