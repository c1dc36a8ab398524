// SPDX-License-Identifier: MIT
// Browse: what the chooser is asked, and what a choice or a cancel hands to
// the row and the item.
#include "WindowTestSupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

namespace q57::testing {
namespace {

using BrowseTest = WindowTest;

TEST_F(BrowseTest, AChosenFileGoesToTheRowAndItemAndAnOddExtensionOnlyWarns)
{
    openProgram();
    const struct {
        int row;
        std::string chosen;
        bool warned;
    } cases[] = {
        {Preferences, (files / "prefs.OPT").string(), true}, // letter case counts
        {Preferences, (files / "prefs.opt").string(), false},
        {Memos, (files / "notes.txt").string(), true},
        {Memos, (files / "new folder" / "notes.mmo").string(), false}, // need not exist
    };
    for (const auto &c : cases) {
        boxes->clear();
        chooser.answers.push_back(c.chosen);
        click(window().findChild<QAbstractButton *>(QStringLiteral("browse%1").arg(c.row)));
        EXPECT_EQ(fileBox(c.row)->text().toStdString(), c.chosen);
        const DataItem &item = program->catalogue().item(static_cast<ItemId>(c.row));
        EXPECT_EQ(item.directory + item.fileName, c.chosen);
        EXPECT_EQ(item.fileName, std::filesystem::path(c.chosen).filename().string());
        EXPECT_EQ(boxes->texts(), c.warned ? std::vector<QString>{QStringLiteral("Warning: Unsupported File Type.")}
                                           : std::vector<QString>{})
            << c.chosen;
    }
    EXPECT_EQ(chooser.requests[2].nameFilters.toStdString(),
              "Memos Files (*.mmo);;Text Files (*.txt *.dat);;All Files (*)");
    EXPECT_EQ(chooser.requests[2].defaultSuffix, QStringLiteral("mmo"));
}

TEST_F(BrowseTest, TheChooserStartsInTheRowsFolderOrElseTheDataFolder)
{
    openProgram();
    const std::string dataFolder = program->settings().paths.dataDirectory;
    const struct {
        std::string typed;
        std::string initialName;
        std::string startFolder;
        std::string startName;
    } cases[] = {
        {(files / "m.mmo").string(), (files / "m.mmo").string(), files.string() + "/", "m.mmo"},
        {"/no/such/folder/m.mmo", "/no/such/folder/m.mmo", dataFolder, "m.mmo"},
        {"", "path or file no selected.", dataFolder, ""},
    };
    for (const auto &c : cases) {
        fileBox(Memos)->setText(QString::fromStdString(c.typed));
        click(window().findChild<QAbstractButton *>(QStringLiteral("browse%1").arg(Memos)));
        ASSERT_FALSE(chooser.requests.empty());
        EXPECT_EQ(chooser.requests.back().initialName, c.initialName);
        EXPECT_EQ(chooser.requests.back().startFolder, c.startFolder) << c.typed;
        EXPECT_EQ(chooser.requests.back().startName, c.startName) << c.typed;
    }
}

TEST_F(BrowseTest, CancelKeepsTheRowAndHandsItsPartsToTheItem)
{
    openProgram();
    const struct {
        std::string typed;
        std::string directory;
        std::string fileName;
    } cases[] = {
        {"", "", ""},      // the stand-ins become empty again
        {"m.mmo", "", ""}, // no folder part: neither part
        {(files / "m.mmo").string(), files.string() + "/", "m.mmo"},
        {files.string() + "/", files.string() + "/", ""},
    };
    for (const auto &c : cases) {
        fileBox(Memos)->setText(QString::fromStdString(c.typed));
        click(window().findChild<QAbstractButton *>(QStringLiteral("browse%1").arg(Memos)));
        EXPECT_EQ(fileBox(Memos)->text().toStdString(), c.typed);
        EXPECT_EQ(program->catalogue().item(Memos).directory, c.directory) << c.typed;
        EXPECT_EQ(program->catalogue().item(Memos).fileName, c.fileName) << c.typed;
    }
    EXPECT_TRUE(boxes->seen().empty());
}

// Ticks and typed names reach the items only when a job starts; a browsed
// choice reaches its item at once. What the items hold is stored at exit.
TEST_F(BrowseTest, OnlyBrowsedChoicesAreKeptWhenNoJobRan)
{
    openProgram();
    const std::string memosBefore = fileBox(Memos)->text().toStdString();
    const bool foldersTicked = rowCheck(Folders)->isChecked();
    click(rowCheck(Folders));
    fileBox(Memos)->setText(QString::fromStdString((files / "typed.mmo").string()));
    chooser.answers.push_back((files / "chosen.qtx").string());
    click(window().findChild<QAbstractButton *>(QStringLiteral("browse%1").arg(Quicktext)));
    window().close();
    EXPECT_TRUE(programEnded);
    closeProgram();

    openProgram();
    EXPECT_EQ(rowCheck(Folders)->isChecked(), foldersTicked);
    EXPECT_EQ(fileBox(Memos)->text().toStdString(), memosBefore);
    EXPECT_EQ(fileBox(Quicktext)->text().toStdString(), (files / "chosen.qtx").string());
}

} // namespace
} // namespace q57::testing
