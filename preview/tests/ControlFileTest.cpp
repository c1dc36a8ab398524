// SPDX-License-Identifier: MIT
// The control file that tells the preview library what to show.
#include "preview/ControlFile.h"

#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

} // namespace
} // namespace q57::preview::test
