// SPDX-License-Identifier: MIT
// The file steps every writer of a user's file builds on, on their own: a
// replaced file keeps what the user set up for it, a planted link is never
// written through, and a copy that cannot be made whole leaves nothing behind.

#include "files/DurableFiles.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace q57 {
namespace {

namespace fs = std::filesystem;
using testing::readWhole;

void putBytes(const fs::path &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

unsigned modeOf(const fs::path &path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

class DurableFilesTest : public ::testing::Test {
protected:
    ~DurableFilesTest() override { fs::remove_all(folder); }

    const fs::path folder = testing::makeScratchFolder("durable");
};

// What stands at the target before the replace, and where the new content
// must land with which mode.
struct ReplaceCase {
    const char *what;
    const char *linkTo;  // the target is a symbolic link to this name ("" for none)
    bool existed;        // the file replaced was there, with mode 0640
    const char *landsIn; // the file that holds the new content afterwards
};

class ReplaceFileTest : public DurableFilesTest, public ::testing::WithParamInterface<ReplaceCase> {};

TEST_P(ReplaceFileTest, NewContentLandsWholeWithTheReplacedFilesMode)
{
    const ReplaceCase &c = GetParam();
    fs::create_directory(folder / "other");
    if (c.existed) {
        putBytes(folder / c.landsIn, "old");
        ASSERT_EQ(::chmod((folder / c.landsIn).c_str(), 0640), 0);
    }
    if (*c.linkTo != '\0')
        fs::create_symlink(c.linkTo, folder / "book.adr");
    fs::create_directory(folder / "work");
    putBytes(folder / "work/finished", "new");

    EXPECT_EQ(replaceFile(folder / "work/finished", folder / "book.adr"), ReplaceResult::Replaced);
    EXPECT_EQ(readWhole(folder / c.landsIn), "new");
    EXPECT_EQ(modeOf(folder / c.landsIn), c.existed ? 0640u : defaultFileMode());
    EXPECT_EQ(fs::is_symlink(folder / "book.adr"), *c.linkTo != '\0');
    EXPECT_FALSE(fs::exists(folder / "work/finished"));
    // Nothing staged beside the replaced file stays there.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "other"), {}),
              std::string(c.landsIn).rfind("other/", 0) == 0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, ReplaceFileTest,
    ::testing::Values(ReplaceCase{"new file", "", false, "book.adr"},
                      ReplaceCase{"existing file", "", true, "book.adr"},
                      ReplaceCase{"link into another folder", "other/real.adr", true, "other/real.adr"},
                      ReplaceCase{"link to a file not there yet", "other/real.adr", false, "other/real.adr"}),
    [](const auto &info) {
        std::string name = info.param.what;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST_F(DurableFilesTest, FailedReplaceLeavesTheTargetAsItWas)
{
    fs::create_directory(folder / "book.adr"); // a folder cannot be renamed over
    putBytes(folder / "finished", "new");
    EXPECT_EQ(replaceFile(folder / "finished", folder / "book.adr"), ReplaceResult::NotRenamed);
    EXPECT_TRUE(fs::is_directory(folder / "book.adr"));
    EXPECT_EQ(readWhole(folder / "finished"), "new");
}

TEST_F(DurableFilesTest, FreshFileReplacesAPlantedLinkInsteadOfWritingThroughIt)
{
    putBytes(folder / "victim", "precious");
    fs::create_symlink(folder / "victim", folder / "~temp.tmp");
    ASSERT_TRUE(createFreshFile(folder / "~temp.tmp"));
    EXPECT_FALSE(fs::is_symlink(folder / "~temp.tmp"));
    EXPECT_EQ(fs::file_size(folder / "~temp.tmp"), 0u);
    EXPECT_EQ(modeOf(folder / "~temp.tmp"), 0600u);
    EXPECT_EQ(readWhole(folder / "victim"), "precious");
    EXPECT_FALSE(createFreshFile(folder / "missing/~temp.tmp"));
}

TEST_F(DurableFilesTest, CopyKeepsTheModeOrLeavesNothing)
{
    putBytes(folder / "book.adr", std::string(5000, 'x'));
    ASSERT_EQ(::chmod((folder / "book.adr").c_str(), 0604), 0);
    ASSERT_TRUE(copyFileDurably(folder / "book.adr", folder / "book.bak"));
    EXPECT_EQ(readWhole(folder / "book.bak"), std::string(5000, 'x'));
    EXPECT_EQ(modeOf(folder / "book.bak"), 0604u);

    // A disk that fills up during the copy.
    const std::string from = folder / "book.adr";
    const std::string to = folder / "full.bak";
    const testing::LimitedRun full =
        testing::runWithFileSizeLimit(1000, [&](std::vector<std::string> &) { return copyFileDurably(from, to); });
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_FALSE(fs::exists(to));
}

TEST_F(DurableFilesTest, FinishWritingReportsBytesThatDidNotReachTheFile)
{
    const std::string path = folder / "out";
    const testing::LimitedRun full = testing::runWithFileSizeLimit(1000, [&](std::vector<std::string> &) {
        std::fstream stream(path, std::ios::out | std::ios::binary);
        stream << std::string(4000, 'x');
        return finishWriting(stream);
    });
    EXPECT_EQ(full.exitCode, 1);

    std::fstream written(path, std::ios::out | std::ios::binary);
    written << "whole";
    EXPECT_TRUE(finishWriting(written));
    EXPECT_EQ(readWhole(path), "whole");
    std::fstream never;
    EXPECT_FALSE(finishWriting(never));
}

} // namespace
} // namespace q57
