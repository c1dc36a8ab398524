// SPDX-License-Identifier: MIT
// Where the help document and the preview library are taken from, and the
// help document's opening.
#include "ui/HelpFile.h"
#include "ui/ResourceFolders.h"

#include "app/ScriptedInteraction.h"
#include "app/StatusLogViewer.h"
#include "tests/support/AnotherUser.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace q57::ui {
namespace {

namespace fs = std::filesystem;

class FakeLauncher : public ViewerLauncher {
public:
    void openWithDesktop(const std::string &path, OpenDone done) override
    {
        opened.push_back(path);
        done(result);
    }
    bool startTextViewer(const std::string &) override { return false; }

    long result = 0;
    std::vector<std::string> opened;
};

class HelpFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::canonical(testing::makeScratchFolder("q57help-test"));
        for (const char *folder : {"usr/bin", "usr/share", "usr/lib", "build/ui/tests", "build2/ui", "open"})
            fs::create_directories(root / folder);
    }
    void TearDown() override { fs::remove_all(root); }

    void plant(const fs::path &folder) { std::ofstream(folder / HelpFileName) << "<html></html>"; }
    std::string folder(const char *name) const { return (root / name).string() + "/"; }
    ResourcePlaces places() const
    {
        return {folder("usr/share"), folder("usr/lib"), (root / "build").string(), (root / "build/ui").string()};
    }

    fs::path root;
    FakeLauncher launcher;
    ScriptedInteraction ui;
};

// The build tree's copies only for a program inside the build tree; the
// installed ones for every other, wherever it was copied to.
TEST_F(HelpFileTest, BuildTreeCopiesOnlyForAProgramInsideTheBuildTree)
{
    fs::create_directory_symlink(root / "build", root / "linked-build");
    const ResourceFolders installed{folder("usr/share"), folder("usr/lib")};
    const ResourceFolders buildTree{folder("build/ui"), folder("build/ui")};
    const struct {
        const char *what;
        std::string programDirectory;
        bool withBuildTree;
        ResourceFolders expected;
    } cases[] = {
        {"installed", folder("usr/bin"), true, installed},
        {"in the build tree", folder("build/ui"), true, buildTree},
        {"deeper in the build tree, as a test is", folder("build/ui/tests"), true, buildTree},
        {"reached through a link to the build tree", folder("linked-build/ui"), true, buildTree},
        {"in a folder whose name only starts like the build tree's", folder("build2/ui"), true, installed},
        {"a copy in a folder others can write to", folder("open"), true, installed},
        {"built without a build tree", folder("build/ui"), false, installed},
    };
    for (const auto &c : cases) {
        ResourcePlaces given = places();
        if (!c.withBuildTree)
            given.buildTree.clear();
        const ResourceFolders chosen = resourceFoldersFor(c.programDirectory, given);
        EXPECT_EQ(chosen.data, c.expected.data) << c.what;
        EXPECT_EQ(chosen.library, c.expected.library) << c.what;
    }
}

// A help document beside an installed program is never opened: only the one
// in the folder the program uses.
TEST_F(HelpFileTest, OnlyTheChosenFolderIsLookedAt)
{
    plant(root / "usr/bin");
    EXPECT_FALSE(openHelpFile(resourceFoldersFor(folder("usr/bin"), places()).data, launcher, ui));
    plant(root / "usr/share");
    EXPECT_TRUE(openHelpFile(resourceFoldersFor(folder("usr/bin"), places()).data, launcher, ui));
    plant(root / "build/ui");
    EXPECT_TRUE(openHelpFile(resourceFoldersFor(folder("build/ui"), places()).data, launcher, ui));
    EXPECT_EQ(launcher.opened, (std::vector<std::string>{(root / "usr/share" / HelpFileName).string(),
                                                         (root / "build/ui" / HelpFileName).string()}));
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Cannot find HELP file.  (" +
                                                      (root / "usr/share" / HelpFileName).string() + ") - [2]"});
}

TEST_F(HelpFileTest, MissingUnopenableOrPlantedHelpSaysWhereAndWhy)
{
    const std::string share = (root / "usr/share" / HelpFileName).string();
    const std::string open = (root / "open" / HelpFileName).string();
    EXPECT_FALSE(openHelpFile(folder("usr/share"), launcher, ui));
    fs::create_directories(share); // a folder of that name is no help document
    EXPECT_FALSE(openHelpFile(folder("usr/share"), launcher, ui));
    fs::remove(share);
    plant(root / "usr/share");
    launcher.result = 3;
    EXPECT_TRUE(openHelpFile(folder("usr/share"), launcher, ui)) << "asked; the desktop's refusal comes later";
    launcher.opened.clear();
    plant(root / "open");
    fs::permissions(root / "open", fs::perms(0777));
    EXPECT_FALSE(openHelpFile(folder("open"), launcher, ui));
    fs::permissions(root / "open", fs::perms(0755));
    ASSERT_EQ(::chown(open.c_str(), q57::testing::AnotherUserId, q57::testing::AnotherUserId), 0);
    EXPECT_FALSE(openHelpFile(folder("open"), launcher, ui));
    EXPECT_TRUE(launcher.opened.empty());
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{
                                 "Cannot find HELP file.  (" + share + ") - [2]",
                                 "Cannot find HELP file.  (" + share + ") - [2]",
                                 "Cannot find HELP file.  (" + share + ") - [3]",
                                 "The HELP file was refused: '" + (root / "open").string() + "' is writable by others.",
                                 "The HELP file was refused: '" + open + "' is owned by another user.",
                             }));
}

} // namespace
} // namespace q57::ui
