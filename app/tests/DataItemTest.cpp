// SPDX-License-Identifier: MIT
#include "TempDir.h"

#include "app/DataItem.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace q57 {
namespace {

using testing::TempDir;

struct SplitCase {
    const char *text;
    const char *directory;
    const char *fileName;
};

TEST(DataItem, SplitFullPathMovesTheFolderIntoTheDirectory)
{
    const SplitCase cases[] = {
        {"/data/book.adr", "/data/", "book.adr"},
        {"book.adr", "/kept/", "book.adr"},
        {"/book.adr", "/", "book.adr"},
        {"rel/sub/book.adr", "rel/sub/", "book.adr"},
        {"/data/", "/data/", ""},
        {"/data/Adreßbuch.adr", "/data/", "Adreßbuch.adr"},
    };
    for (const SplitCase &c : cases) {
        DataItem item;
        item.directory = "/kept/";
        item.splitFullPath(c.text);
        EXPECT_EQ(item.directory, c.directory) << c.text;
        EXPECT_EQ(item.fileName, c.fileName) << c.text;
        EXPECT_EQ(item.filePath(), std::string(c.text).find('/') == std::string::npos ? "/kept/book.adr" : c.text);
    }
}

TEST(DataItem, SetFromWindowTakesOnlyATickedBoxAndForgetsTheLastJob)
{
    DataItem item;
    item.size = 40;
    item.recordCount = 3;
    item.capacity = 500;
    item.highestRecordId = 9;
    item.itemFlags[1] = 0x0F;
    const std::pair<int, bool> states[] = {{1, true}, {0, false}, {2, false}};
    for (const auto &[state, selected] : states) {
        item.setFromWindow(state, "/data/memos.mmo");
        EXPECT_EQ(item.selected, selected) << state;
    }
    EXPECT_EQ(item.filePath(), "/data/memos.mmo");
    EXPECT_EQ(item.size, 0u);
    EXPECT_EQ(item.recordCount, 0);
    // Device information and counters of the device stay across jobs.
    EXPECT_EQ(item.capacity, 500);
    EXPECT_EQ(item.highestRecordId, 9);
    EXPECT_EQ(item.itemFlags[1], 0x0F);
}

struct ReleaseCase {
    bool selected;
    int mode;
    bool firstLeft;
    bool secondLeft;
};

TEST(DataItem, ReleaseItemDeletesTheTemporaryFilesOfItsMode)
{
    const ReleaseCase cases[] = {
        {true, 0, true, true},
        {true, 1, false, true},
        {true, 2, false, false},
        {false, 2, true, true},
    };
    for (const ReleaseCase &c : cases) {
        TempDir scratch;
        DataItem item;
        item.tempName = "~optxxxx.tmp";
        item.directory = scratch.dir();
        item.selected = c.selected;
        scratch.plantFile("~optxxxx.tmp");
        scratch.plantFile("~optxxxx.tmp2");
        item.stream.open(item.tempPath(), std::ios::in | std::ios::binary);
        item.passOutput.open(item.tempPath2(), std::ios::out | std::ios::binary);

        item.releaseItem(c.mode);
        SCOPED_TRACE(::testing::Message() << "selected " << c.selected << " mode " << c.mode);
        EXPECT_EQ(std::filesystem::exists(scratch.file("~optxxxx.tmp")), c.firstLeft);
        EXPECT_EQ(std::filesystem::exists(scratch.file("~optxxxx.tmp2")), c.secondLeft);
        EXPECT_EQ(item.stream.is_open(), !c.selected);
        EXPECT_EQ(item.passOutput.is_open(), !c.selected);
    }
}

TEST(DataItem, MissingTemporaryFilesAreNoError)
{
    TempDir scratch;
    DataItem item;
    item.tempName = "~adrxxxx.tmp";
    item.directory = scratch.dir();
    item.fileName = "book.adr";
    item.selected = true;
    scratch.plantFile("book.adr", "contacts");
    item.stream.open(item.filePath(), std::ios::in | std::ios::binary);
    ASSERT_TRUE(item.stream.is_open());
    std::string all;
    std::getline(item.stream, all, '\0'); // reads to the end: eof set
    ASSERT_TRUE(item.stream.eof());
    item.releaseItem(2);
    EXPECT_FALSE(item.stream.is_open());
    EXPECT_TRUE(item.stream.good()) << "the next job starts from a clean stream state";
    EXPECT_EQ(TempDir::read(item.filePath()), "contacts");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.dir()), {}), 1);
}

TEST(DataItem, ReleaseItemLeavesAFolderAtATemporaryName)
{
    TempDir scratch;
    DataItem item;
    item.tempName = "~mmoxxxx.tmp";
    item.directory = scratch.dir();
    item.selected = true;
    std::filesystem::create_directory(scratch.file("~mmoxxxx.tmp2"));
    item.releaseItem(2);
    EXPECT_TRUE(std::filesystem::is_directory(scratch.file("~mmoxxxx.tmp2")));
}

TEST(DataItem, MeasureSizeLeavesTheStreamAtItsStart)
{
    TempDir scratch;
    DataItem item;
    item.stream.open(scratch.plantFile("data", "0123456789"), std::ios::in | std::ios::binary);
    char first = 0;
    item.stream.read(&first, 1);
    item.stream.ignore(100); // reading to the end sets eof
    item.measureSize();
    EXPECT_EQ(item.size, 10u);
    item.stream.read(&first, 1);
    EXPECT_EQ(first, '0');

    // A stream just written by a device read is measured with all its bytes.
    DataItem written;
    written.stream.open(scratch.file("written"), std::ios::out | std::ios::in | std::ios::trunc | std::ios::binary);
    written.stream << "abc";
    written.measureSize();
    EXPECT_EQ(written.size, 3u);

    DataItem closed;
    closed.size = 5;
    closed.measureSize();
    EXPECT_EQ(closed.size, 0u);
}

TEST(DataItem, InclusionAndEmptinessForRestore)
{
    struct Case {
        bool selected;
        uint32_t size;
        bool includedInBackup;
        bool includedInRestore;
        bool emptyForRestore;
    };
    const Case cases[] = {
        {false, 0, false, false, false}, {false, 1, false, false, false}, {true, 0, true, false, true},
        {true, 1, true, true, true},     {true, 2, true, true, false},
    };
    for (const Case &c : cases) {
        DataItem item;
        item.selected = c.selected;
        item.size = c.size;
        SCOPED_TRACE(::testing::Message() << "selected " << c.selected << " size " << c.size);
        EXPECT_EQ(item.isIncluded(true), c.includedInBackup);
        EXPECT_EQ(item.isIncluded(false), c.includedInRestore);
        EXPECT_EQ(item.isEmptyForRestore(), c.emptyForRestore);
    }
}

} // namespace
} // namespace q57
