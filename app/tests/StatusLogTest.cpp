// SPDX-License-Identifier: MIT
#include "TempDir.h"

#include "app/ScriptedInteraction.h"
#include "app/StatusLog.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace q57 {
namespace {

using testing::TempDir;

std::string withoutLf(std::string text)
{
    text.pop_back();
    return text;
}

struct FallbackCase {
    const char *name;
    bool tempUsable;
    const char *defaultDir; // "usable", "blocked" or "./"
    bool dataUsable;
    const char *chosen; // "temp", "default", "data" or "current"
};

class StatusLogFallback : public ::testing::TestWithParam<FallbackCase> {};

TEST_P(StatusLogFallback, TakesTheFirstFolderWhereTheFileCanBeCreated)
{
    const FallbackCase &c = GetParam();
    TempDir scratch;
    scratch.plantFile("blocked");
    const std::string blocked = scratch.dir("blocked/sub");
    std::filesystem::create_directories(scratch.dir("temp"));
    std::filesystem::create_directories(scratch.dir("default"));
    std::filesystem::create_directories(scratch.dir("data"));
    std::filesystem::create_directories(scratch.dir("current"));
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(scratch.dir("current"));

    const std::string defaultDir = std::string(c.defaultDir) == "usable"    ? scratch.dir("default")
                                   : std::string(c.defaultDir) == "blocked" ? blocked
                                                                            : "./";
    ScriptedInteraction ui;
    StatusLog log;
    EXPECT_TRUE(log.open(c.tempUsable ? scratch.dir("temp") : blocked, defaultDir,
                         c.dataUsable ? scratch.dir("data") : blocked, ui));
    log.log("%s\n", "line");
    log.close();
    std::filesystem::current_path(previous);

    const std::string expectedPath =
        std::string(c.chosen) == "current" ? "statusLog.txt" : scratch.dir(c.chosen) + "statusLog.txt";
    EXPECT_EQ(log.path(), expectedPath);
    EXPECT_EQ(TempDir::read(scratch.dir(c.chosen) + "statusLog.txt"), "line\r\n");
    EXPECT_TRUE(ui.messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StatusLogFallback,
    ::testing::Values(FallbackCase{"Temp", true, "usable", true, "temp"},
                      FallbackCase{"UnwritableTempGoesToDefault", false, "usable", true, "default"},
                      FallbackCase{"DefaultCurrentDirIsSkipped", false, "./", true, "data"},
                      FallbackCase{"UnwritableDefaultGoesToData", false, "blocked", true, "data"},
                      FallbackCase{"NothingElseLeavesTheCurrentDir", false, "blocked", false, "current"}),
    [](const ::testing::TestParamInfo<FallbackCase> &info) { return std::string(info.param.name); });

TEST(StatusLog, NoFolderAtAllShowsOneMessageAndDropsTheLines)
{
    TempDir scratch;
    scratch.plantFile("blocked");
    const std::string blocked = scratch.dir("blocked/sub");
    // A current directory that has been removed accepts no new file.
    std::filesystem::create_directories(scratch.dir("gone"));
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(scratch.dir("gone"));
    std::filesystem::remove(scratch.dir("gone"));

    ScriptedInteraction ui;
    StatusLog log;
    EXPECT_FALSE(log.open(blocked, blocked, blocked, ui));
    std::filesystem::current_path(previous);
    EXPECT_FALSE(log.isOpen());
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Unable to create 'statusLog.txt' file."});
    log.log("dropped\n"); // must not fail
}

TEST(StatusLog, EveryLineFeedBecomesCrLfAndEachOpenEmptiesTheFile)
{
    TempDir scratch;
    const std::string path = scratch.file("statusLog.txt");
    StatusLog log;
    std::vector<std::string> echoed;
    log.setEcho([&](const std::string &text) { echoed.push_back(text); });

    ASSERT_TRUE(log.openAt(path));
    log.log("Validating Files....\n");
    log.log("\nLine %d: %s %ld\n", 7, "bad", 123456789L);
    log.log("no line end");
    log.close();
    log.log("after close\n");
    EXPECT_EQ(TempDir::read(path), "Validating Files....\r\n\r\nLine 7: bad 123456789\r\nno line end");
    EXPECT_EQ(echoed, (std::vector<std::string>{"Validating Files....\n", "\nLine 7: bad 123456789\n", "no line end"}));

    ASSERT_TRUE(log.openAt(path));
    log.log("second job\n");
    log.close();
    EXPECT_EQ(TempDir::read(path), "second job\r\n");
}

// A link planted at the log's name, to a file or to nowhere, is neither
// emptied nor written through; the log goes to the next folder.
TEST(StatusLog, APlantedLinkIsNeverWrittenThrough)
{
    for (const bool targetExists : {true, false}) {
        SCOPED_TRACE(targetExists ? "link to a file" : "dangling link");
        TempDir scratch;
        std::filesystem::create_directories(scratch.dir("temp"));
        std::filesystem::create_directories(scratch.dir("default"));
        const std::string target = scratch.file("precious");
        if (targetExists)
            scratch.plantFile("precious", "someone's file");
        std::filesystem::create_symlink(target, scratch.dir("temp") + "statusLog.txt");

        ScriptedInteraction ui;
        StatusLog log;
        EXPECT_FALSE(log.openAt(scratch.dir("temp") + "statusLog.txt"));
        ASSERT_TRUE(log.open(scratch.dir("temp"), scratch.dir("default"), "./", ui));
        log.log("line\n");
        log.close();
        EXPECT_EQ(log.path(), scratch.dir("default") + "statusLog.txt");
        EXPECT_EQ(std::filesystem::exists(target), targetExists);
        if (targetExists) {
            EXPECT_EQ(TempDir::read(target), "someone's file");
        }
    }
}

// A FIFO at the log's name would block the open (nobody reads it) or feed
// the log to whoever does: it is passed over for the next folder.
TEST(StatusLog, AFifoAtTheLogsNameIsPassedOver)
{
    TempDir scratch;
    std::filesystem::create_directories(scratch.dir("temp"));
    std::filesystem::create_directories(scratch.dir("default"));
    ASSERT_EQ(::mkfifo((scratch.dir("temp") + "statusLog.txt").c_str(), 0600), 0);
    ScriptedInteraction ui;
    StatusLog log;
    ASSERT_TRUE(log.open(scratch.dir("temp"), scratch.dir("default"), "./", ui));
    EXPECT_EQ(log.path(), scratch.dir("default") + "statusLog.txt");
    EXPECT_TRUE(log.openAt("/dev/null")) << "the editor's quiet log";
}

// The preamble (which private folder this run uses) opens every log of the
// run, on the terminal too.
TEST(StatusLog, ThePreambleStartsEveryLog)
{
    TempDir scratch;
    const std::string path = scratch.file("statusLog.txt");
    StatusLog log;
    std::string echoed;
    log.setEcho([&](const std::string &text) { echoed += text; });
    log.setPreamble("Using '/run/q57backup/'.\n");
    for (const char *job : {"first\n", "second\n"}) {
        ASSERT_TRUE(log.openAt(path));
        log.logText(job);
        log.close();
        EXPECT_EQ(TempDir::read(path), "Using '/run/q57backup/'.\r\n" + withoutLf(job) + "\r\n");
    }
    EXPECT_EQ(echoed, "Using '/run/q57backup/'.\nfirst\nUsing '/run/q57backup/'.\nsecond\n");
}

// A label from a user's file that carries terminal controls reaches neither
// the file nor the echo as they are.
TEST(StatusLog, ControlCharactersFromFilesAreEscaped)
{
    TempDir scratch;
    const std::string path = scratch.file("statusLog.txt");
    StatusLog log;
    std::string echoed;
    log.setEcho([&](const std::string &text) { echoed += text; });
    ASSERT_TRUE(log.openAt(path));
    log.log("Record#%ld: Invalid label '%s'.\n", 3L, "a\x1b[2J\rb\tc");
    log.close();
    EXPECT_EQ(echoed, "Record#3: Invalid label 'a\\x1B[2J\\x0Db\tc'.\n");
    EXPECT_EQ(TempDir::read(path), "Record#3: Invalid label 'a\\x1B[2J\\x0Db\tc'.\r\n");
}

TEST(StatusLog, LinesFromTwoThreadsNeverInterleave)
{
    TempDir scratch;
    const std::string path = scratch.file("statusLog.txt");
    StatusLog log;
    ASSERT_TRUE(log.openAt(path));
    const std::string jobLine(300, 'j');
    const std::string windowLine(300, 'w');
    constexpr int LinesEach = 2000;
    std::thread job([&] {
        for (int i = 0; i < LinesEach; ++i)
            log.log("%s %d\n", jobLine.c_str(), i);
    });
    for (int i = 0; i < LinesEach; ++i)
        log.log("%s %d\n", windowLine.c_str(), i);
    job.join();
    log.close();

    std::istringstream lines(TempDir::read(path));
    int jobCount = 0, windowCount = 0;
    for (std::string line; std::getline(lines, line);) {
        ASSERT_EQ(line.back(), '\r');
        const std::string body = line.substr(0, 300);
        ASSERT_TRUE(body == jobLine || body == windowLine) << line.substr(0, 40);
        (body == jobLine ? jobCount : windowCount)++;
    }
    EXPECT_EQ(jobCount, LinesEach);
    EXPECT_EQ(windowCount, LinesEach);
}

} // namespace
} // namespace q57
