// SPDX-License-Identifier: MIT
// The staging file of each mode, byte for byte, and what the user is told
// when a file cannot be opened, read or written.

#include "MergeFixture.h"

#include "formats/AddressBookFile.h"
#include "formats/FileSizeLimits.h"
#include "formats/FormatContext.h"
#include "merge/SourceLines.h"
#include "tests/support/FileSizeLimit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <thread>

namespace q57::test {
namespace {

namespace fs = std::filesystem;

const std::string OverLimit = "Contact record over 154.\nIt'll be ignore.";

// `count` contact lines numbered from `first`, each naming its source.
std::string contacts(const std::string &source, int first, int count, const char *lineBreak = "\r\n")
{
    std::string lines;
    for (int i = 0; i < count; ++i)
        lines += std::to_string(first + i) + "\t[WA]\t1\t" + source + std::to_string(i) + lineBreak;
    return lines;
}

class AddressBookStaging : public MergeFixture {
protected:
    bool stage(int mode) { return stageAddressBooks(services, mode); }
    std::string staged() const { return readTemp(StagingFileName); }
};

TEST_F(AddressBookStaging, EachModeByteForByte)
{
    const std::string q57Book = "# Q57 book\r\n"
                                "\r\n"
                                "0\t1\tFamily\t20\t21\r\n"
                                "20\t[WA]\t1\tAnn\r\n"
                                "   \r\n"
                                "21\t[HE]\t0\tBob\tx\r\r\n"
                                "22\t\t\tCy";
    const std::string w300Book = "#\n"
                                 "\n"
                                 "30\t[WA]\t1\tDee\n"
                                 "#30\tcommented out\n"
                                 "31\n"
                                 "\r\n"
                                 "32\t\t\tEve\t\n";
    const struct {
        const char *what;
        int mode;
        std::string expected;
    } cases[] = {
        {"Q57 alone: numbers kept, a lone CR ends a line as CR LF does, the last line given its line break", PreviewQ57,
         "0\t1\tFamily\t20\t21\r\n20\t[WA]\t1\tAnn\r\n   \r\n21\t[HE]\t0\tBob\tx\r\n22\t\t\tCy\r\n"},
        {"W300 alone: LF lines written with CR LF", PreviewW300, "30\t[WA]\t1\tDee\r\n31\r\n32\t\t\tEve\t\r\n"},
        {"both: every kept line renumbered from 16, the group and the space-only line too", MergeBoth,
         "16\t1\tFamily\t20\t21\r\n17\t[WA]\t1\tAnn\r\n18\r\n19\t[HE]\t0\tBob\tx\r\n20\t\t\tCy\r\n"
         "21\t[WA]\t1\tDee\r\n22\r\n23\t\t\tEve\t\r\n"},
    };
    writeData("q57.adr", q57Book);
    writeData("w300.adr", w300Book);
    for (const auto &c : cases) {
        ui.clearEvents();
        EXPECT_TRUE(stage(c.mode)) << c.what;
        EXPECT_EQ(staged(), c.expected) << c.what;
        EXPECT_TRUE(ui.messages().empty()) << c.what;
    }
    EXPECT_EQ(readData("q57.adr"), q57Book);
    EXPECT_EQ(readData("w300.adr"), w300Book);
}

TEST_F(AddressBookStaging, MergeKeeps154RecordsAndTellsOnceWhenMoreAreDropped)
{
    const struct {
        int q57Records;
        int w300Records;
        bool dropped;
    } cases[] = {{100, 60, true}, {100, 54, false}, {154, 0, false}, {0, 155, true}, {160, 160, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.q57Records << " + " << c.w300Records);
        ui.clearEvents();
        writeData("q57.adr", "# header\r\n" + contacts("q", 0, c.q57Records));
        writeData("w300.adr", contacts("w", 200, c.w300Records, "\n"));
        ASSERT_TRUE(stage(MergeBoth));

        const int total = std::min(c.q57Records + c.w300Records, 154);
        const int fromQ57 = std::min(c.q57Records, total);
        std::string expected;
        for (int i = 0; i < fromQ57; ++i)
            expected += std::to_string(16 + i) + "\t[WA]\t1\tq" + std::to_string(i) + "\r\n";
        for (int i = 0; i < total - fromQ57; ++i)
            expected += std::to_string(16 + fromQ57 + i) + "\t[WA]\t1\tw" + std::to_string(i) + "\r\n";
        EXPECT_EQ(staged(), expected);
        EXPECT_EQ(ui.messages(), c.dropped ? std::vector<std::string>{OverLimit} : std::vector<std::string>{});
    }
    // Reading stops with the first dropped record: what follows is not read,
    // so its long line is not reported either.
    ui.clearEvents();
    writeData("q57.adr", contacts("q", 0, 155));
    writeData("w300.adr", std::string(SourceLines::MaxPieceLength + 1, 'x'));
    ASSERT_TRUE(stage(MergeBoth));
    EXPECT_EQ(ui.messages(), std::vector<std::string>{OverLimit});
}

// Only a line longer than 1,022 bytes is read in pieces, each piece a line of
// its own, and the user is told which line was split; a line of exactly that
// length keeps its line end, whichever it is.
TEST_F(AddressBookStaging, LongLinesArePiecesAndAreReported)
{
    const size_t max = SourceLines::MaxPieceLength;
    const std::string fill(max, 'x');
    const struct {
        const char *what;
        std::string line;
        std::string previewed;
        std::string merged;
        bool split;
    } cases[] = {
        {"exactly a piece, LF", "16\t" + fill.substr(3) + "\n", "16\t" + fill.substr(3) + "\r\n",
         "16\t" + fill.substr(3) + "\r\n", false},
        {"exactly a piece, CR LF", "16\t" + fill.substr(3) + "\r\n", "16\t" + fill.substr(3) + "\r\n",
         "16\t" + fill.substr(3) + "\r\n", false},
        {"exactly a piece, a lone CR, then a line", "16\t" + fill.substr(3) + "\r17\tB\r",
         "16\t" + fill.substr(3) + "\r\n17\tB\r\n", "16\t" + fill.substr(3) + "\r\n17\tB\r\n", false},
        {"exactly a piece at the end of the file", "16\t" + fill.substr(3), "16\t" + fill.substr(3) + "\r\n",
         "16\t" + fill.substr(3) + "\r\n", false},
        {"one byte short, CR LF", "16\t" + fill.substr(4) + "\r\n", "16\t" + fill.substr(4) + "\r\n",
         "16\t" + fill.substr(4) + "\r\n", false},
        {"one byte more", "16\t" + fill.substr(2) + "\r\n", "16\t" + fill.substr(3) + "\r\nx\r\n",
         "16\t" + fill.substr(3) + "\r\n17\r\n", true},
        {"three pieces, the second with a TAB", "9\t" + fill.substr(2) + "\t" + fill + "y\n",
         "9\t" + fill.substr(2) + "\r\n\t" + fill.substr(1) + "\r\nxy\r\n",
         "16\t" + fill.substr(2) + "\r\n17\t" + fill.substr(1) + "\r\n18\r\n", true},
        {"a comment's second piece is not a comment", "#" + fill + "\t7\r\n", "x\t7\r\n", "16\t7\r\n", true},
    };
    writeData("w300.adr", "");
    const std::string told = "Line 1 of '" + data + "q57.adr' is longer than 1,022 bytes; it was split.";
    for (const auto &c : cases) {
        ui.clearEvents();
        writeData("q57.adr", c.line);
        ASSERT_TRUE(stage(PreviewQ57)) << c.what;
        EXPECT_EQ(staged(), c.previewed) << c.what;
        ASSERT_TRUE(stage(MergeBoth)) << c.what;
        EXPECT_EQ(staged(), c.merged) << c.what;
        const std::vector<std::string> expected =
            c.split ? std::vector<std::string>{told, told} : std::vector<std::string>{};
        EXPECT_EQ(ui.messages(), expected) << c.what;
    }
}

// One message per action names the split lines of both files by their line
// numbers, however the lines end; past five lines it counts the rest.
TEST_F(AddressBookStaging, SplitLinesAreToldOncePerAction)
{
    const std::string longLine(SourceLines::MaxPieceLength + 1, 'x');
    writeData("q57.adr", "# a\r\r\n" + longLine + "\r20\tA\r" + longLine + "\r\n");
    writeData("w300.adr", longLine + "\n" + longLine + "\n\n" + longLine + "\n" + longLine + "\n" + longLine);
    ASSERT_TRUE(stage(MergeBoth));
    const auto line = [](int number, const std::string &path) {
        return "Line " + std::to_string(number) + " of '" + path + "' is longer than 1,022 bytes; it was split.";
    };
    EXPECT_EQ(ui.messages(), std::vector<std::string>{line(3, data + "q57.adr") + "\n" + line(5, data + "q57.adr") +
                                                      "\n" + line(1, data + "w300.adr") + "\n" +
                                                      line(2, data + "w300.adr") + "\n" + line(4, data + "w300.adr") +
                                                      "\n2 more lines are longer than 1,022 bytes and were split."});
}

// The lone-CR book the restore and the editor read as 60 contacts is merged
// into 60 records that pass the restore's own check.
TEST_F(AddressBookStaging, LoneCrBookMergesIntoTheSameRecords)
{
    const std::string book = "# sixty\r" + contacts("q", 20, 60, "\r");
    writeData("q57.adr", book);
    writeData("w300.adr", "");
    const auto check = [this](const std::string &bytes, int &records) {
        FormatContext context(settings.runtime.statusLog, ui, catalogue.item(AddressBook), catalogue.item(Quicktext));
        std::istringstream input(bytes);
        std::ostringstream device;
        const bool passed = readAddressBookFile(context, input, device);
        records = static_cast<int>(catalogue.item(AddressBook).recordCount);
        return passed;
    };
    int records = 0;
    ASSERT_TRUE(check(book, records));
    ASSERT_EQ(records, 60);
    ASSERT_TRUE(stage(MergeBoth));
    EXPECT_EQ(staged(), contacts("q", 16, 60));
    EXPECT_TRUE(check(staged(), records));
    EXPECT_EQ(records, 60);
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(AddressBookStaging, FileThatCannotBeOpenedIsNamed)
{
    const struct {
        const char *what;
        int mode;
        bool q57Exists;
        bool w300Exists;
        std::string message;
    } cases[] = {
        {"Q57 file missing", PreviewQ57, false, true, "Unable to preview. Q57 Address Book File does not exist."},
        {"W300 file missing", PreviewW300, true, false, "Unable to preview. W300 Address Book File does not exist."},
        {"merge without the Q57 file", MergeBoth, false, false,
         "Unable to preview. Q57 Address Book File does not exist."},
        {"merge without the W300 file", MergeBoth, true, false,
         "Unable to preview. W300 Address Book File does not exist."},
    };
    for (const auto &c : cases) {
        ui.clearEvents();
        fs::remove(data + "q57.adr");
        fs::remove(data + "w300.adr");
        if (c.q57Exists)
            writeData("q57.adr", "20\tA\r\n");
        if (c.w300Exists)
            writeData("w300.adr", "30\tB\r\n");
        EXPECT_FALSE(stage(c.mode)) << c.what;
        EXPECT_EQ(ui.messages(), std::vector<std::string>{c.message}) << c.what;
        EXPECT_FALSE(fs::exists(temp + StagingFileName)) << c.what;
        EXPECT_FALSE(openInThisProcess(data + "q57.adr")) << c.what;
    }
}

TEST_F(AddressBookStaging, StagingFileThatCannotBeCreated)
{
    writeData("q57.adr", "20\tA\r\n");
    writeData("w300.adr", "30\tB\r\n");
    fs::create_directory(temp + StagingFileName);
    const struct {
        int mode;
        const char *name;
    } cases[] = {{PreviewQ57, "Merge"}, {PreviewW300, "Merge"}, {MergeBoth, "Merged"}};
    for (const auto &c : cases) {
        ui.clearEvents();
        EXPECT_FALSE(stage(c.mode)) << c.mode;
        EXPECT_EQ(ui.messages(),
                  std::vector<std::string>{"Unable to preview. " + std::string(c.name) + " File does not exist."});
        EXPECT_FALSE(openInThisProcess(data + "q57.adr")) << c.mode;
        EXPECT_FALSE(openInThisProcess(data + "w300.adr")) << c.mode;
    }
}

// A leftover link at the staging name is replaced, never written through.
TEST_F(AddressBookStaging, LeftoverLinkAtTheStagingNameIsNotFollowed)
{
    writeData("q57.adr", "20\tA\r\n");
    const std::string elsewhere = writeData("elsewhere.txt", "not yours");
    fs::create_symlink(elsewhere, temp + StagingFileName);
    ASSERT_TRUE(stage(PreviewQ57));
    EXPECT_FALSE(fs::is_symlink(temp + StagingFileName));
    EXPECT_EQ(staged(), "20\tA\r\n");
    EXPECT_EQ(readFile(elsewhere), "not yours");
}

// A source that never ends, or is larger than any address book, is refused
// before it is read: no wait on a FIFO (with the job lock held), no endless
// read of a device, no file read past the limit. The message names the file.
TEST_F(AddressBookStaging, SourcesThatAreNoAddressBookFilesAreRefused)
{
    writeData("q57.adr", "20\tA\r\n");
    const std::string fifo = data + "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(data + "folder");
    const std::string large = writeData("large.adr", "");
    fs::resize_file(large, AddressBookFileLimit + 1);
    writeData("limit.adr", "30\tB\r\n");
    fs::resize_file(data + "limit.adr", AddressBookFileLimit);
    const std::string refused = "Unable to preview. ";
    const struct {
        std::string w300;
        bool staged;
        std::vector<std::string> messages;
    } cases[] = {
        {fifo, false, {refused + "'" + fifo + "' is not a regular file."}},
        {"/dev/zero", false, {refused + "'/dev/zero' is not a regular file."}},
        {data + "folder", false, {refused + "'" + data + "folder' is not a regular file."}},
        {large, false, {refused + "File '" + large + "' is larger than 2 MiB, the limit for Address Book files."}},
        // At the limit a file is read: its zeros are one long line, read until
        // the records run out.
        {data + "limit.adr",
         true,
         {"Line 2 of '" + data + "limit.adr' is longer than 1,022 bytes; it was split.", OverLimit}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.w300);
        ui.clearEvents();
        fs::remove(temp + StagingFileName);
        w300.directory = fs::path(c.w300).parent_path().string() + "/";
        w300.fileName = fs::path(c.w300).filename().string();
        // A writer for the FIFO, so that a reader that waits for one is let go
        // and the test fails rather than hangs; a refusal lets it go below.
        std::thread writer;
        if (c.w300 == fifo)
            writer = std::thread([&] {
                const int fd = ::open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
                if (fd >= 0 && ::write(fd, "30\tB\r\n", 6) == 6)
                    ::close(fd);
            });
        const bool staged = stage(MergeBoth);
        if (writer.joinable()) {
            const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            writer.join();
            ::close(reader);
        }
        EXPECT_EQ(staged, c.staged);
        EXPECT_EQ(ui.messages(), c.messages);
        EXPECT_EQ(fs::exists(temp + StagingFileName), c.staged);
        EXPECT_FALSE(openInThisProcess(data + "q57.adr"));
    }
}

// A staging file cut short by a full disk is reported, not previewed.
TEST_F(AddressBookStaging, WriteErrorIsAFailure)
{
    writeData("q57.adr", contacts("q", 20, 50));
    const q57::testing::LimitedRun limited = q57::testing::runWithFileSizeLimit(100, [this](auto &messages) {
        const bool staged = stage(PreviewQ57);
        messages = ui.messages();
        return staged;
    });
    EXPECT_EQ(limited.exitCode, 1);
    EXPECT_EQ(limited.messages, std::vector<std::string>{"Unable to write '" + temp + StagingFileName + "'."});
    EXPECT_FALSE(fs::exists(temp + StagingFileName));
}

} // namespace
} // namespace q57::test
