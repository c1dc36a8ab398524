// SPDX-License-Identifier: MIT
// Which files the program trusts to run or show: the file and each folder on
// its way owned by this user or root, none writable by others.

#include "files/TrustedLocation.h"

#include "tests/support/AnotherUser.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace q57 {
namespace {

namespace fs = std::filesystem;

class TrustedLocationTest : public ::testing::Test {
protected:
    TrustedLocationTest() : root(fs::canonical(q57::testing::makeScratchFolder("q57-trusted")))
    {
        fs::create_directories(root / "outer" / "inner");
        std::ofstream(file) << "code";
        fs::permissions(root / "outer", fs::perms(0755));
        fs::permissions(root / "outer" / "inner", fs::perms(0755));
        fs::permissions(file, fs::perms(0644));
    }
    ~TrustedLocationTest() override { fs::remove_all(root); }

    static void chmod(const fs::path &path, unsigned mode) { fs::permissions(path, fs::perms(mode)); }
    // The tests run as root, who may hand a file or folder alone to anyone.
    static void giveAway(const fs::path &path)
    {
        ASSERT_EQ(::chown(path.c_str(), q57::testing::AnotherUserId, q57::testing::AnotherUserId), 0);
    }

    fs::path root;
    fs::path file = root / "outer" / "inner" / "lib.so";
};

TEST_F(TrustedLocationTest, FileAndFoldersOthersCannotChange)
{
    const fs::path inner = root / "outer" / "inner";
    const fs::path outer = root / "outer";
    const struct {
        const char *what;
        std::function<void()> plant;
        std::string refusal;
    } cases[] = {
        {"owner-only file and folders", [] {}, ""},
        {"folders read-only for others", [&] { chmod(inner, 0555); }, ""},
        {"the file writable by the group", [&] { chmod(file, 0664); },
         "'" + file.string() + "' is writable by others."},
        {"the file writable by anyone", [&] { chmod(file, 0646); }, "'" + file.string() + "' is writable by others."},
        {"its folder writable by anyone", [&] { chmod(inner, 0777); },
         "'" + inner.string() + "' is writable by others."},
        {"a folder above writable by the group", [&] { chmod(outer, 0775); },
         "'" + outer.string() + "' is writable by others."},
        {"a folder above writable by anyone but sticky, as /tmp", [&] { chmod(outer, 01777); }, ""},
        {"the file owned by another user", [&] { giveAway(file); },
         "'" + file.string() + "' is owned by another user."},
        {"a folder above owned by another user", [&] { giveAway(outer); },
         "'" + outer.string() + "' is owned by another user."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        c.plant();
        const TrustedPath checked = checkTrustedLocation(file.string());
        EXPECT_EQ(checked.refusal, c.refusal);
        EXPECT_EQ(checked.path, file.string());
        // Back to the trusted start for the next case.
        for (const fs::path &path : {file, inner, outer})
            ASSERT_EQ(::chown(path.c_str(), 0, 0), 0);
        chmod(outer, 0755);
        chmod(inner, 0755);
        chmod(file, 0644);
    }
}

// What is checked is where a link leads, and that is the file to use: the
// folder the link sits in no longer matters once the target is known.
TEST_F(TrustedLocationTest, LinksAreResolvedAndMissingFilesCannotBeChecked)
{
    fs::create_directories(root / "open");
    fs::create_symlink(file, root / "open" / "link.so");
    const TrustedPath linked = checkTrustedLocation((root / "open" / "link.so").string());
    EXPECT_EQ(linked.path, file.string());
    EXPECT_EQ(linked.refusal, "");

    fs::create_symlink(root / "open" / "elsewhere.so", root / "open" / "dangling.so");
    const std::string dangling = (root / "open" / "dangling.so").string();
    EXPECT_EQ(checkTrustedLocation(dangling).refusal, "'" + dangling + "' cannot be checked.");
}

} // namespace
} // namespace q57
