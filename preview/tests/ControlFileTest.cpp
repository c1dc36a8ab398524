// SPDX-License-Identifier: MIT
// The control file that tells the preview library what to show.
#include "preview/ControlFile.h"

#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace q57::preview::test {
namespace {

TEST(PreviewControlFile, TwoPathsWithAnyLineEnd)
{
    const std::filesystem::path root = q57::testing::makeScratchFolder("q57-control");
    const std::string path = (root / "control").string();
    const struct {
        std::string text;
        bool readable;
    } cases[] = {
        {"/t/~merge.tmp\r\n/t/~BABTmp003.tmp", true},
        {"/t/~merge.tmp\n/t/~BABTmp003.tmp\n", true},
        {"/t/~merge.tmp\r\n/t/~BABTmp003.tmp\r\n", true},
        {"/t/~merge.tmp", false},
        {"/t/~merge.tmp\r\n", false},
        {"\r\n/t/~BABTmp003.tmp", false},
        {"/t/~merge.tmp\n/t/~BABTmp003.tmp\nthird", false},
        {std::string(9000, 'x') + "\n/t/r", false},
    };
    for (const auto &c : cases) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.text;
        const auto paths = readControlFile(path);
        ASSERT_EQ(paths.has_value(), c.readable) << c.text.substr(0, 40);
        if (c.readable) {
            EXPECT_EQ(paths->shown, "/t/~merge.tmp");
            EXPECT_EQ(paths->result, "/t/~BABTmp003.tmp");
        }
    }
    EXPECT_FALSE(readControlFile((root / "none").string()));
    std::filesystem::remove_all(root);
}

// The library finds the control file by the program's rule, for its own
// process, and refuses a folder that fails a check: then there is no path at
// all, never one in the current directory.
TEST(PreviewControlFile, FoundInThePrivateFolderOfThisProcessOnly)
{
    namespace fs = std::filesystem;
    const std::string uid = std::to_string(geteuid());
    const std::string ownEnd = "-" + std::to_string(getpid()) + "-abcdef";
    const struct {
        const char *name;
        bool usualIsAFile; // else the usual folder, with `mode`
        mode_t mode;
        bool runtime;
        std::string perProcessEnd; // a per-process folder "<usual>-<pid>-XXXXXX"; "" for none
        std::string expected;      // the folder, below the scratch folder; "" for no path
    } cases[] = {
        {"usual folder", false, 0700, true, ownEnd, "tmp/q57backup-" + uid + "/"},
        {"usual folder open to others", false, 0755, false, "", ""},
        {"runtime folder", true, 0, true, ownEnd, "runtime/q57backup/"},
        {"this process's folder", true, 0, false, ownEnd, "tmp/q57backup-" + uid + ownEnd + "/"},
        {"another process's folder", true, 0, false, "-1-abcdef", ""},
        {"nothing usable", true, 0, false, "", ""},
    };
    const char *callersTemp = std::getenv("TMPDIR");
    const std::string savedTemp = callersTemp != nullptr ? callersTemp : "";
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path root = q57::testing::makeScratchFolder("q57-control");
        const fs::path usual = root / "tmp" / ("q57backup-" + uid);
        fs::create_directories(root / "tmp");
        if (c.usualIsAFile) {
            std::ofstream(usual.string()) << "x";
        } else {
            fs::create_directory(usual);
            ::chmod(usual.c_str(), c.mode);
        }
        if (!c.perProcessEnd.empty())
            ::mkdir((usual.string() + c.perProcessEnd).c_str(), 0700);
        if (c.runtime) {
            fs::create_directories(root / "runtime");
            ::mkdir((root / "runtime" / "q57backup").c_str(), 0700);
            setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 1);
        } else {
            unsetenv("XDG_RUNTIME_DIR");
        }
        setenv("TMPDIR", (root / "tmp").c_str(), 1);
        EXPECT_EQ(controlFilePath(), c.expected.empty() ? "" : (root / c.expected).string() + "~BABTmp002.tmp");
        fs::remove_all(root);
    }
    unsetenv("XDG_RUNTIME_DIR");
    if (savedTemp.empty())
        unsetenv("TMPDIR");
    else
        setenv("TMPDIR", savedTemp.c_str(), 1);
}

} // namespace
} // namespace q57::preview::test
