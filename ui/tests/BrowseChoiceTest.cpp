// SPDX-License-Identifier: MIT
#include "ui/BrowseChoice.h"

#include <gtest/gtest.h>

namespace q57::ui {
namespace {

TEST(BrowseChoice, TheRowsFullNameGivesTheStartingNameAndCancelGivesItBack)
{
    const struct {
        const char *fullName;
        const char *initialName;
        const char *folderAfterCancel;
        const char *nameAfterCancel;
    } cases[] = {
        {"/home/ann/Zantherix/memos.mmo", "/home/ann/Zantherix/memos.mmo", "/home/ann/Zantherix/", "memos.mmo"},
        {"", "path or file no selected.", "", ""},
        {"memos.mmo", "path or file no selected.", "", ""},  // no "/": neither part
        {"/memos.mmo", "path or file no selected.", "", ""}, // only a leading "/": neither part
        {"/home/ann/", "/home/ann/.", "/home/ann/", ""},     // no name
        {"/home/ann/   ", "/home/ann/.", "/home/ann/", ""},  // a name of spaces
    };
    for (const auto &c : cases) {
        const BrowseStart start = BrowseStart::fromFullName(c.fullName);
        EXPECT_EQ(start.initialName(), c.initialName) << c.fullName;
        EXPECT_EQ(start.cancelled().folder, c.folderAfterCancel) << c.fullName;
        EXPECT_EQ(start.cancelled().name, c.nameAfterCancel) << c.fullName;
    }
}

TEST(BrowseChoice, FiltersBecomeQtNameFiltersWhereAllFilesMatchNamesWithoutADot)
{
    EXPECT_EQ(qtNameFilters(browseFilter(Preferences)).toStdString(),
              "Preferences Files (*.opt);;Text Files (*.txt *.dat);;All Files (*)");
    EXPECT_EQ(qtNameFilters(browseFilter(Quicktext)).toStdString(),
              "Quicktext Files (*.qtx);;Text Files (*.txt *.dat);;All Files (*)");
    EXPECT_EQ(qtNameFilters("").toStdString(), "");
    const char *extensions[] = {"opt", "adr", "fld", "mmo", "qtx"};
    for (ItemId id : DeviceItemIds)
        EXPECT_STREQ(defaultExtension(id), extensions[id]);
}

TEST(BrowseChoice, OnlyTheExactExtensionIsSupported)
{
    const struct {
        const char *path;
        bool other;
    } cases[] = {
        {"/a/b.opt", false}, {"/a/b.OPT", true}, {"/a/b.Opt", true},    {"/a/b.txt", true},
        {"/a/b", true},      {"/a.opt/b", true}, {"/a/b.x.opt", false}, {"/a/.opt", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(hasOtherExtension(c.path, "opt"), c.other) << c.path;
}

} // namespace
} // namespace q57::ui
