// SPDX-License-Identifier: MIT
// Every kind of thing a user can name as a file, opened as the readers do: a
// FIFO or a device must be refused at once (a test that hangs here is the
// fault), and a file is read up to its limit and no further.

#include "files/BoundedFile.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace q57 {
namespace {

namespace fs = std::filesystem;
using Status = BoundedFile::Status;
using Links = BoundedFile::Links;

constexpr std::uint64_t Limit = 100;

void writeBytes(const fs::path &path, size_t count)
{
    std::ofstream(path, std::ios::binary) << std::string(count, 'x');
}

struct OpenCase {
    const char *name;
    std::function<std::string(const fs::path &folder)> place; // makes the thing, returns its path
    Links links;
    Status expected;
};

class BoundedFileOpen : public ::testing::TestWithParam<OpenCase> {};

TEST_P(BoundedFileOpen, RefusesWhatIsNotASmallRegularFile)
{
    const fs::path folder = testing::makeScratchFolder("bounded");
    const OpenCase &c = GetParam();
    BoundedFile file(c.place(folder), Limit, c.links);
    EXPECT_EQ(file.status(), c.expected);
    EXPECT_EQ(file.opened(), c.expected == Status::Opened);
    fs::remove_all(folder);
}

std::string regularFile(const fs::path &folder, size_t size)
{
    writeBytes(folder / "book.adr", size);
    return folder / "book.adr";
}

std::string linkToRegularFile(const fs::path &folder)
{
    regularFile(folder, 10);
    fs::create_symlink(folder / "book.adr", folder / "link.adr");
    return folder / "link.adr";
}

std::string fifo(const fs::path &folder)
{
    const fs::path path = folder / "fifo.adr";
    ::mkfifo(path.c_str(), 0600);
    return path;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BoundedFileOpen,
    ::testing::Values(
        OpenCase{"empty", [](const fs::path &f) { return regularFile(f, 0); }, Links::Follow, Status::Opened},
        OpenCase{"at_the_limit", [](const fs::path &f) { return regularFile(f, Limit); }, Links::Follow,
                 Status::Opened},
        OpenCase{"one_byte_over", [](const fs::path &f) { return regularFile(f, Limit + 1); }, Links::Follow,
                 Status::TooLarge},
        OpenCase{"missing", [](const fs::path &f) { return (f / "none.adr").string(); }, Links::Follow,
                 Status::Missing},
        OpenCase{"under_a_file", [](const fs::path &f) { return regularFile(f, 1) + "/x.adr"; }, Links::Follow,
                 Status::Missing},
        OpenCase{"folder", [](const fs::path &f) { return f.string(); }, Links::Follow, Status::NotRegular},
        OpenCase{"fifo_without_writer", fifo, Links::Follow, Status::NotRegular},
        OpenCase{"endless_device", [](const fs::path &) { return std::string("/dev/zero"); }, Links::Follow,
                 Status::NotRegular},
        OpenCase{"link_followed", linkToRegularFile, Links::Follow, Status::Opened},
        OpenCase{"link_refused", linkToRegularFile, Links::Refuse, Status::NotRegular}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(BoundedFileRead, ReadsTheWholeFile)
{
    const fs::path folder = testing::makeScratchFolder("bounded");
    std::ofstream(folder / "book.adr", std::ios::binary) << std::string("16\tA\r\n17\tB\r\n");
    BoundedFile file(folder / "book.adr", Limit);
    std::string bytes;
    ASSERT_TRUE(file.readAll(bytes));
    EXPECT_EQ(bytes, "16\tA\r\n17\tB\r\n");
    fs::remove_all(folder);
}

// Checked at opening is not enough: a file can grow between the open and the read.
TEST(BoundedFileRead, StopsAtTheLimitWhenTheFileGrowsAfterOpening)
{
    const fs::path folder = testing::makeScratchFolder("bounded");
    writeBytes(folder / "book.adr", 10);
    BoundedFile file(folder / "book.adr", Limit);
    ASSERT_TRUE(file.opened());
    writeBytes(folder / "book.adr", 50); // still within the limit: read whole
    std::string bytes;
    EXPECT_TRUE(file.readAll(bytes));
    EXPECT_EQ(bytes.size(), 50U);

    writeBytes(folder / "book.adr", 10 * Limit);
    EXPECT_FALSE(file.readAll(bytes));
    EXPECT_EQ(file.status(), Status::TooLarge);
    EXPECT_EQ(bytes.size(), Limit);
    fs::remove_all(folder);
}

TEST(BoundedFileRead, ReleasedDescriptorReadsBlocking)
{
    const fs::path folder = testing::makeScratchFolder("bounded");
    writeBytes(folder / "book.adr", 3);
    BoundedFile file(folder / "book.adr", Limit);
    const int fd = file.release();
    ASSERT_GE(fd, 0);
    EXPECT_EQ(file.release(), -1) << "handed over once";
    char bytes[8];
    EXPECT_EQ(::read(fd, bytes, sizeof bytes), 3);
    ::close(fd);
    fs::remove_all(folder);
}

TEST(BoundedFileRefusal, NamesTheFileAndTheLimit)
{
    const fs::path folder = testing::makeScratchFolder("bounded");
    writeBytes(folder / "book.adr", 3000);
    const std::string path = folder / "book.adr";
    EXPECT_EQ(BoundedFile(path, 2048).refusal("Address Book"),
              "File '" + path + "' is larger than 2 KiB, the limit for Address Book files.");
    EXPECT_EQ(BoundedFile(folder.string(), 2048).refusal("Memos"), "'" + folder.string() + "' is not a regular file.");
    EXPECT_EQ(BoundedFile(path, 4096).refusal("Memos"), "");
    fs::remove_all(folder);
}

TEST(ByteCount, ShownInTheLargestWholeUnit)
{
    EXPECT_EQ(describeByteCount(2 * 1024 * 1024), "2 MiB");
    EXPECT_EQ(describeByteCount(64 * 1024), "64 KiB");
    EXPECT_EQ(describeByteCount(1500), "1500 bytes");
    EXPECT_EQ(describeByteCount(1), "1 byte");
}

} // namespace
} // namespace q57
