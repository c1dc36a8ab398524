// SPDX-License-Identifier: MIT
#include "SettingsFixture.h"

#include "app/AppSettings.h"
#include "app/ItemCatalogue.h"
#include "app/ScriptedInteraction.h"
#include "tests/support/FileBytes.h"

namespace q57 {
namespace {

class ItemCatalogueTest : public testing::SettingsWorld {
protected:
    void SetUp() override
    {
        SettingsWorld::SetUp();
        settings = std::make_unique<AppSettings>();
        ASSERT_EQ(settings->preparePaths(), AppSettings::Startup::Ready);
        settings->loadSettings();
        catalogue =
            std::make_unique<ItemCatalogue>(*settings, settings->runtime.jobFlags, ui, settings->runtime.statusLog);
        catalogue->buildCatalogue();
    }
    void TearDown() override
    {
        catalogue.reset();
        settings.reset();
        SettingsWorld::TearDown();
    }

    ScriptedInteraction ui;
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<ItemCatalogue> catalogue;
};

struct Expected {
    ItemId id;
    const char *key;
    const char *displayName;
    const char *extension;
    int deviceItemId;
    const char *tempName;
    const char *fileName;
};

TEST_F(ItemCatalogueTest, TenItemsInOrderWithTheirDefaults)
{
    const Expected expected[] = {
        {Preferences, "preferences", "Preferences", "opt", 0, "~optxxxx.tmp", "preferences.opt"},
        {AddressBook, "addressBook", "Address Book", "adr", 1, "~adrxxxx.tmp", "addressBook.adr"},
        {Folders, "folders", "Folders", "fld", 2, "~fldxxxx.tmp", "folders.fld"},
        {Memos, "memos", "Memos", "mmo", 3, "~mmoxxxx.tmp", "memos.mmo"},
        {Quicktext, "quicktext", "Quicktext", "qtx", 4, "~qtxxxxx.tmp", "quicktext.qtx"},
        {TestFile, "testfile", "Test File", ".txt", 5, "~.txtxxxx.tmp", "testfile.txt"},
        {File, "vfile", "File", ".txt", 6, "~.txtxxxx.tmp", "vfile.txt"},
        {W300AddressBook, "w300ab", "W300 Address Book", "adr", 7, "~adrxxxx.tmp", "w300ab.adr"},
        {Q57AddressBook, "q57ab", "Q57 Address Book", "adr", 7, "~adrxxxx.tmp", "q57ab.adr"},
        {MergedAddressBook, "mergedab", "Merged Address Book", "adr", 7, "~adrxxxx.tmp", "mergedab.adr"},
    };
    ASSERT_EQ(std::size(expected), static_cast<std::size_t>(ItemCount));
    for (const Expected &e : expected) {
        SCOPED_TRACE(e.key);
        const DataItem &item = catalogue->item(e.id);
        EXPECT_EQ(&item, &catalogue->items()[e.id]);
        EXPECT_EQ(item.key, e.key);
        EXPECT_EQ(item.displayName, e.displayName);
        EXPECT_EQ(item.extension, e.extension);
        EXPECT_EQ(item.deviceItemId, e.deviceItemId);
        EXPECT_EQ(item.tempName, e.tempName);
        EXPECT_EQ(item.fileName, e.fileName);
        EXPECT_EQ(item.directory, documentsData());
        EXPECT_FALSE(item.selected);
    }
}

TEST_F(ItemCatalogueTest, TestFileAndFileAreNeverStored)
{
    DataItem &testFile = catalogue->item(TestFile);
    testFile.selected = true;
    testFile.fileName = "/somewhere/else.txt";
    catalogue->saveCatalogue();
    EXPECT_FALSE(userValue("testfile").isValid());
    EXPECT_FALSE(userValue("vfileFile").isValid());
    EXPECT_EQ(userValue("w300abFile").toString(), "w300ab.adr");

    catalogue->buildCatalogue();
    EXPECT_FALSE(catalogue->item(TestFile).selected);
    EXPECT_EQ(catalogue->item(TestFile).filePath(), documentsData() + "testfile.txt");
}

TEST_F(ItemCatalogueTest, StoredFoldersGetTheirClosingSlash)
{
    settings->store().writeString("memosPath", "/data/memos");
    settings->store().writeString("quicktextPath", "/data/texts/");
    catalogue->buildCatalogue();
    EXPECT_EQ(catalogue->item(Memos).filePath(), "/data/memos/memos.mmo");
    EXPECT_EQ(catalogue->item(Memos).tempPath2(), "/data/memos/~mmoxxxx.tmp2") << "beside the item's file";
    EXPECT_EQ(catalogue->item(Quicktext).filePath(), "/data/texts/quicktext.qtx");
}

TEST_F(ItemCatalogueTest, SavingMovesTheFolderOfAFileNameIntoItsPath)
{
    DataItem &book = catalogue->item(AddressBook);
    book.fileName = "/data/book.adr";
    DataItem &memos = catalogue->item(Memos);
    memos.directory = "/kept/";
    memos.fileName = "plain.mmo";
    catalogue->saveCatalogue();
    EXPECT_EQ(userValue("addressBookPath").toString(), "/data/");
    EXPECT_EQ(userValue("addressBookFile").toString(), "book.adr");
    EXPECT_EQ(userValue("memosPath").toString(), "/kept/");
    EXPECT_EQ(userValue("memosFile").toString(), "plain.mmo");
}

struct MaskCase {
    const char *name;
    bool backupMode;
    std::vector<std::pair<ItemId, uint32_t>> selected; // item and its size
    uint16_t mask;
};

TEST_F(ItemCatalogueTest, SelectionMask)
{
    const MaskCase cases[] = {
        {"backup, nothing", true, {}, 0x8000},
        {"backup, memos only", true, {{Memos, 0}}, 0x8800},
        {"restore, memos empty", false, {{Memos, 0}}, 0x0000},
        {"restore, memos with data", false, {{Memos, 5}}, 0x0800},
        {"backup, all five",
         true,
         {{Preferences, 0}, {AddressBook, 0}, {Folders, 0}, {Memos, 0}, {Quicktext, 0}},
         0xFC00},
        {"restore, first and last", false, {{Preferences, 3}, {Quicktext, 1}, {AddressBook, 0}}, 0x4400},
        {"test items never count", true, {{TestFile, 9}, {File, 9}, {MergedAddressBook, 9}}, 0x8000},
    };
    for (const MaskCase &c : cases) {
        catalogue->buildCatalogue();
        settings->runtime.jobFlags.backupMode = c.backupMode;
        for (const auto &[id, size] : c.selected) {
            catalogue->item(id).selected = true;
            catalogue->item(id).size = size;
        }
        EXPECT_EQ(catalogue->selectionMask(), c.mask) << c.name;
    }
}

TEST_F(ItemCatalogueTest, ItemFailureIsShownThenLoggedAsALine)
{
    const std::string logPath = (root / "tmp/log.txt").string();
    ASSERT_TRUE(settings->runtime.statusLog.openAt(logPath));
    settings->runtime.jobFlags.backupMode = true;
    catalogue->reportItemFailure(Memos, 3);
    settings->runtime.jobFlags.backupMode = false;
    catalogue->reportItemFailure(catalogue->item(AddressBook), 255);
    settings->runtime.statusLog.close();

    EXPECT_EQ(ui.messages(),
              (std::vector<std::string>{"Unable to backup Memos. [3]", "Unable to restore Address Book. [255]"}));
    EXPECT_EQ(testing::readWhole(logPath), "Unable to backup Memos. [3]\r\nUnable to restore Address Book. [255]\r\n");
}

} // namespace
} // namespace q57
