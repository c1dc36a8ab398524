// SPDX-License-Identifier: MIT
// The staging file of each mode, byte for byte, and what the user is told
// when a file cannot be opened, read or written.

#include "MergeFixture.h"

#include "merge/SourceLines.h"
#include "tests/support/FileSizeLimit.h"

#include <algorithm>
#include <filesystem>

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
        {"Q57 alone: numbers kept, CR LF kept, the last line given its line break", PreviewQ57,
         "0\t1\tFamily\t20\t21\r\n20\t[WA]\t1\tAnn\r\n   \r\n21\t[HE]\t0\tBob\tx\r\r\n22\t\t\tCy\r\n"},
        {"W300 alone: LF lines written with CR LF", PreviewW300, "30\t[WA]\t1\tDee\r\n31\r\n32\t\t\tEve\t\r\n"},
        {"both: every kept line renumbered from 16, the group and the space-only line too", MergeBoth,
         "16\t1\tFamily\t20\t21\r\n17\t[WA]\t1\tAnn\r\n18\r\n19\t[HE]\t0\tBob\tx\r\r\n20\t\t\tCy\r\n"
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
}

// A line is read in pieces of at most 1,022 bytes and each piece is a line
// of its own; a line break right after a full piece still belongs to it.
TEST_F(AddressBookStaging, LongLinesArePieces)
{
    const size_t max = SourceLines::MaxPieceLength;
    const std::string fill(max, 'x');
    const struct {
        const char *what;
        std::string line;
        std::string previewed;
        std::string merged;
    } cases[] = {
        {"exactly a piece, LF", "16\t" + fill.substr(3) + "\n", "16\t" + fill.substr(3) + "\r\n",
         "16\t" + fill.substr(3) + "\r\n"},
        {"exactly a piece, CR LF", "16\t" + fill.substr(3) + "\r\n", "16\t" + fill.substr(3) + "\r\n",
         "16\t" + fill.substr(3) + "\r\n"},
        {"a piece whose last byte is the CR of its CR LF", "16\t" + fill.substr(4) + "\r\n",
         "16\t" + fill.substr(4) + "\r\n", "16\t" + fill.substr(4) + "\r\n"},
        {"one byte more", "16\t" + fill.substr(2) + "\r\n", "16\t" + fill.substr(3) + "\r\nx\r\n",
         "16\t" + fill.substr(3) + "\r\n17\r\n"},
        {"a CR after a full piece that is not a line break", "16\t" + fill.substr(3) + "\rab\r\n",
         "16\t" + fill.substr(3) + "\r\n\rab\r\n", "16\t" + fill.substr(3) + "\r\n17\r\n"},
        {"three pieces, the second with a TAB", "9\t" + fill.substr(2) + "\t" + fill + "y\n",
         "9\t" + fill.substr(2) + "\r\n\t" + fill.substr(1) + "\r\nxy\r\n",
         "16\t" + fill.substr(2) + "\r\n17\t" + fill.substr(1) + "\r\n18\r\n"},
        {"a comment's second piece is not a comment", "#" + fill + "\t7\r\n", "x\t7\r\n", "16\t7\r\n"},
    };
    writeData("w300.adr", "");
    for (const auto &c : cases) {
        writeData("q57.adr", c.line);
        ASSERT_TRUE(stage(PreviewQ57)) << c.what;
        EXPECT_EQ(staged(), c.previewed) << c.what;
        ASSERT_TRUE(stage(MergeBoth)) << c.what;
        EXPECT_EQ(staged(), c.merged) << c.what;
    }
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

// A source that cannot be read to its end would leave records out of the
// address book that replaces the user's file: a failure, not a shorter file.
TEST_F(AddressBookStaging, SourceThatCannotBeReadIsAFailure)
{
    writeData("q57.adr", "20\tA\r\n");
    fs::create_directory(data + "w300.adr");
    EXPECT_FALSE(stage(MergeBoth));
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Unable to read '" + data + "w300.adr'."});
    EXPECT_FALSE(fs::exists(temp + StagingFileName));
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
