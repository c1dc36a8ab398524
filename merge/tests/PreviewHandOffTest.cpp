// SPDX-License-Identifier: MIT
// The hand-off to the preview library through the test doubles of
// PreviewDouble.cpp: the bytes the library is given, what replaces the user's
// files afterwards, and what is kept when that cannot happen.

#include "MergeFixture.h"

#include "app/JobLock.h"
#include "tests/support/AnotherUser.h"
#include "tests/support/FileSizeLimit.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <regex>

namespace q57::test {
namespace {

namespace fs = std::filesystem;

const std::string EditedAddressBook = "16\t[WA]\t1\tEdited\tContact\r\n";
// What the answering double is told to do (PreviewDouble.cpp).
const char *const AnswerFileName = "preview-double-answer.txt";
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
    // The versioned copies beside the user's files, by name, with their bytes.
    std::map<std::string, std::string> versionedCopies() const
    {
        std::map<std::string, std::string> copies;
        for (const auto &entry : fs::directory_iterator(data))
            if (entry.path().extension() == ".bak")
                copies[entry.path().filename().string()] = readFile(entry.path().string());
        return copies;
    }
    // A message with the time in a versioned copy's name left out.
    static std::string withoutTime(const std::string &message)
    {
        return std::regex_replace(message, std::regex(R"(\.\d{8}T\d{6}Z(-\d+)?\.bak)"), ".<time>.bak");
    }
    // What the doubles leave in the temporary folder besides the merge's files.
    static std::set<std::string> withDoubleRecords(std::set<std::string> names)
    {
        names.insert({"preview-double-saw.txt", "preview-double-result-before.txt"});
        return names;
    }
};

// A preview the user cancelled, one that failed, and a look at one file that
// changed nothing place nothing: every file stays byte for byte, comments and
// empty lines included, and no copy is made.
TEST_F(PreviewHandOff, CancelledOrUnchangedPreviewPlacesNothing)
{
    const std::string q57Book = "# mine\r\n\r\n20\tA\r";
    const std::string w300Book = "#w\n30\tB\n";
    const struct {
        const char *what;
        int mode;
        const char *library;
        std::string answer; // for the answering double
        std::string shown;  // the result file as the library found it
    } cases[] = {
        {"Q57 looked at", PreviewQ57, PREVIEW_DOUBLE_UNCHANGED, "", "20\tA\r\n"},
        {"W300 looked at", PreviewW300, PREVIEW_DOUBLE_UNCHANGED, "", "30\tB\r\n"},
        {"Q57 edited, then cancelled", PreviewQ57, PREVIEW_DOUBLE_ANSWERING, "1\n" + EditedAddressBook, "20\tA\r\n"},
        {"W300 failed", PreviewW300, PREVIEW_DOUBLE_ANSWERING, "-1", "30\tB\r\n"},
        {"merge edited, then cancelled", MergeBoth, PREVIEW_DOUBLE_ANSWERING, "1\n" + EditedAddressBook,
         "16\tA\r\n17\tB\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        writeData("q57.adr", q57Book);
        writeData("w300.adr", w300Book);
        writeData("mergedab.adr", "last merge");
        if (!c.answer.empty())
            writeFile(temp + AnswerFileName, c.answer);
        EXPECT_FALSE(stageAndPreview(c.library, c.mode));
        EXPECT_EQ(readData("q57.adr"), q57Book);
        EXPECT_EQ(readData("w300.adr"), w300Book);
        EXPECT_EQ(readData("mergedab.adr"), "last merge");
        EXPECT_EQ(readTemp("preview-double-saw.txt"), controlBytes());
        EXPECT_EQ(readTemp("preview-double-result-before.txt"), c.shown);
        EXPECT_EQ(tempFiles(), withDoubleRecords(c.answer.empty() ? std::set<std::string>{}
                                                                  : std::set<std::string>{AnswerFileName}));
        EXPECT_EQ(versionedCopies(), (std::map<std::string, std::string>{}));
        EXPECT_TRUE(ui.messages().empty());
        fs::remove(temp + AnswerFileName);
    }
}

// Each saved change keeps the file it replaces as a copy of its own beside it,
// so a second preview never overwrites the first copy.
TEST_F(PreviewHandOff, SavedChangesKeepEveryFormerFileAsAVersionedCopy)
{
    const std::string q57Book = "# mine\r\n\r\n20\tA\r\n";
    writeData("q57.adr", q57Book);
    writeData("w300.adr", "30\tB\n");
    const std::string first = "20\tFirst\r\n";
    const std::string second = "20\tSecond\r\n";
    writeFile(temp + AnswerFileName, "0\n" + first);
    EXPECT_FALSE(stageAndPreview(PREVIEW_DOUBLE_ANSWERING, PreviewQ57));
    EXPECT_EQ(readData("q57.adr"), first);
    writeFile(temp + AnswerFileName, "0\n" + second);
    EXPECT_FALSE(stageAndPreview(PREVIEW_DOUBLE_ANSWERING, PreviewQ57));
    EXPECT_EQ(readData("q57.adr"), second);
    EXPECT_EQ(readData("w300.adr"), "30\tB\n");

    std::multiset<std::string> kept;
    for (const auto &[name, bytes] : versionedCopies()) {
        EXPECT_TRUE(std::regex_match(name, std::regex(R"(q57\.adr\.\d{8}T\d{6}Z(-\d+)?\.bak)"))) << name;
        kept.insert(bytes);
    }
    EXPECT_EQ(kept, (std::multiset<std::string>{q57Book, first}));
    EXPECT_EQ(tempFiles(), withDoubleRecords({AnswerFileName}));
    EXPECT_TRUE(ui.messages().empty());
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

// A library someone else could have put in place is never loaded, nor passed
// over for the next folder's: the user is told which file or folder it was.
TEST_F(PreviewHandOff, PlantedLibraryIsRefused)
{
    const std::string library = std::string(PREVIEW_DOUBLE_EDITING) + PreviewLibraryName;
    const auto plant = [&](const std::string &folder, unsigned folderMode) {
        fs::create_directories(data + folder);
        fs::copy_file(library, data + folder + "/" + PreviewLibraryName);
        fs::permissions(data + folder, fs::perms(folderMode));
        return data + folder + "/";
    };
    const std::string theirs = plant("theirs", 0755) + PreviewLibraryName;
    ASSERT_EQ(::chown(theirs.c_str(), q57::testing::AnotherUserId, q57::testing::AnotherUserId), 0);
    const struct {
        std::string folder;
        std::string refusal;
    } cases[] = {
        {plant("open", 0777), "'" + data + "open' is writable by others."},
        {plant("group", 0775), "'" + data + "group' is writable by others."},
        {data + "theirs/", "'" + theirs + "' is owned by another user."},
    };
    const std::string q57Book = "# mine\r\n20\tA\r\n";
    writeData("q57.adr", q57Book);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.folder);
        ui.clearEvents();
        ASSERT_TRUE(stageAddressBooks(services, PreviewQ57));
        EXPECT_FALSE(preview({c.folder, PREVIEW_DOUBLE_EDITING}, PreviewQ57));
        EXPECT_EQ(ui.messages(), std::vector<std::string>{"The libGlimpsa.so was refused: " + c.refusal});
        EXPECT_EQ(tempFiles(), std::set<std::string>{StagingFileName});
        EXPECT_EQ(readData("q57.adr"), q57Book);
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
         "Unable to save the address book to '" + data + "q57.adr'. Cannot create backup copy '" + data +
             "q57.adr.<time>.bak'.\n" + kept,
         ""},
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

        EXPECT_FALSE(preview({PREVIEW_DOUBLE_EDITING}, c.mode));
        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_EQ(withoutTime(ui.messages().front()), c.message);
        EXPECT_EQ(readTemp(ResultFileName), EditedAddressBook);
        EXPECT_FALSE(fs::exists(temp + StagingFileName));
        EXPECT_FALSE(fs::exists(temp + ControlFileName));
        if (!c.q57After.empty()) {
            EXPECT_EQ(readData("q57.adr"), c.q57After);
        }
    }
}

// The copy cannot be made on a full disk: the user's file stays as it was,
// and what the user saved is kept in the temporary folder.
TEST_F(PreviewHandOff, CopyThatCannotBeWrittenLeavesTheFileAlone)
{
    const std::string q57Book = "# mine\r\n" + std::string(4000, '#') + "\r\n20\tA\r\n";
    writeData("q57.adr", q57Book);
    plantStaging("20\tA\r\n");
    const q57::testing::LimitedRun limited = q57::testing::runWithFileSizeLimit(1000, [this](auto &messages) {
        const bool placed = preview({PREVIEW_DOUBLE_EDITING}, PreviewQ57);
        for (const std::string &message : ui.messages())
            messages.push_back(withoutTime(message));
        return placed;
    });
    EXPECT_EQ(limited.exitCode, 1);
    EXPECT_EQ(limited.messages, std::vector<std::string>{"Unable to save the address book to '" + data +
                                                         "q57.adr'. Cannot create backup copy '" + data +
                                                         "q57.adr.<time>.bak'.\nThe address book is kept in '" + temp +
                                                         ResultFileName + "'."});
    EXPECT_EQ(readData("q57.adr"), q57Book);
    EXPECT_EQ(readTemp(ResultFileName), EditedAddressBook);
    EXPECT_EQ(versionedCopies(), (std::map<std::string, std::string>{}));
}

TEST_F(PreviewHandOff, ReplacedFileKeepsItsModeAndLink)
{
    writeData("real.adr", "# old\r\n20\tA\r\n");
    fs::permissions(data + "real.adr", fs::perms(0640));
    fs::create_symlink("real.adr", data + "link.adr");
    q57.fileName = "link.adr";
    EXPECT_FALSE(stageAndPreview(PREVIEW_DOUBLE_EDITING, PreviewQ57));
    EXPECT_TRUE(fs::is_symlink(data + "link.adr"));
    EXPECT_EQ(readData("real.adr"), EditedAddressBook);
    EXPECT_EQ(permissionsOf(data + "real.adr"), 0640u);
    const std::map<std::string, std::string> copies = versionedCopies();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(withoutTime(copies.begin()->first), "link.adr.<time>.bak");
    EXPECT_EQ(copies.begin()->second, "# old\r\n20\tA\r\n");

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
    EXPECT_FALSE(preview({PREVIEW_DOUBLE_EDITING}, PreviewQ57));
    EXPECT_EQ(readData("q57.adr"), EditedAddressBook);
    EXPECT_EQ(versionedCopies(), (std::map<std::string, std::string>{}));
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
