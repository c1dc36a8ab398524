// SPDX-License-Identifier: MIT
#include "ui/HelpFile.h"

#include "app/ScriptedInteraction.h"
#include "app/StatusLogViewer.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

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
        root = testing::makeScratchFolder("q57help-test");
        fs::create_directories(root / "bin");
        fs::create_directories(root / "share");
    }
    void TearDown() override { fs::remove_all(root); }

    void plant(const fs::path &folder) { std::ofstream(folder / HelpFileName) << "<html></html>"; }
    bool open() { return openHelpFile((root / "bin").string() + "/", (root / "share").string(), launcher, ui); }

    fs::path root;
    FakeLauncher launcher;
    ScriptedInteraction ui;
};

TEST_F(HelpFileTest, TheCopyBesideTheProgramComesFirstThenTheInstalledOne)
{
    plant(root / "share");
    EXPECT_TRUE(open());
    plant(root / "bin");
    EXPECT_TRUE(open());
    EXPECT_EQ(launcher.opened, (std::vector<std::string>{(root / "share" / HelpFileName).string(),
                                                         (root / "bin" / HelpFileName).string()}));
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(HelpFileTest, MissingOrUnopenableHelpSaysWhereAndWhy)
{
    EXPECT_FALSE(open());
    EXPECT_TRUE(launcher.opened.empty());
    fs::create_directories(root / "bin" / HelpFileName); // a folder of that name is no help document
    EXPECT_FALSE(open());
    plant(root / "share");
    launcher.result = 3;
    EXPECT_TRUE(open()) << "asked; the desktop's refusal comes later";
    const std::string besideProgram = (root / "bin" / HelpFileName).string();
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{
                                 "Cannot find HELP file.  (" + besideProgram + ") - [2]",
                                 "Cannot find HELP file.  (" + besideProgram + ") - [2]",
                                 "Cannot find HELP file.  (" + (root / "share" / HelpFileName).string() + ") - [3]",
                             }));
}

} // namespace
} // namespace q57::ui
