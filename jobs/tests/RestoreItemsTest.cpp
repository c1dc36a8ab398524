// SPDX-License-Identifier: MIT
#include "StagingFixture.h"

#include "app/AppSettings.h"
#include "app/ItemCatalogue.h"
#include "jobs/RestoreValidation.h"
#include "tests/support/UserWorld.h"

#include <memory>

namespace q57::test {
namespace {

using Lines = std::vector<std::string>;

// The five device items of a real catalogue, in a private settings world.
class RestoreItems : public StagingFixture {
protected:
    RestoreItems()
    {
        settings = std::make_unique<AppSettings>();
        catalogue = std::make_unique<ItemCatalogue>(*settings, flags, ui, log);
        settings->preparePaths();
        catalogue->buildCatalogue();
        books = std::make_unique<FormatContext>(log, ui, catalogue->item(AddressBook), catalogue->item(Quicktext));
    }
    ~RestoreItems() override
    {
        for (DataItem &item : catalogue->items())
            item.closeStreams();
    }

    void choose(ItemId id, const std::string &fileName, const std::string &content)
    {
        DataItem &item = catalogue->item(id);
        item.selected = true;
        item.directory = folder.string() + "/";
        item.fileName = fileName;
        writeFile(fileName, content);
    }

    q57::testing::UserWorld world{"q57-restore-items"}; // before the settings read where it points
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<ItemCatalogue> catalogue;
    std::unique_ptr<FormatContext> books;
};

TEST_F(RestoreItems, EveryItemInCatalogueOrder)
{
    choose(Quicktext, "q.qtx", "<main><text>x</text></main>");
    choose(Memos, "m.mmo", "<main><label>l</label><text>t</text><label>l</label><text>u</text></main>");
    choose(Folders, "f.fld", std::string("\x22\xFF\xFF", 3));
    choose(AddressBook, "a.adr", "20\t[]\t1\tAnn\r\n");
    choose(Preferences, "p.opt", std::string("\x20\xFF\xFF", 3));
    ASSERT_TRUE(validateRestoreItems(*catalogue, *books, flags)) << logged;
    EXPECT_EQ(logged, "\nPreferences:\nValidated successfully.\n\nAddress Book:\nValidated successfully.\n"
                      "\nFolders:\nValidated successfully.\n\nMemos:\nValidated successfully.\n"
                      "\nQuicktext:\nValidated successfully.\n");
    EXPECT_EQ(catalogue->item(Preferences).size, 0u);
    EXPECT_EQ(catalogue->item(Folders).size, 0u);
    EXPECT_EQ(catalogue->item(AddressBook).recordCount, 1);
    EXPECT_EQ(catalogue->item(Memos).recordCount, 2);
    EXPECT_EQ(catalogue->item(Quicktext).recordCount, 1);
}

TEST_F(RestoreItems, StopsAtTheFirstRefusedFile)
{
    choose(Preferences, "p.opt", std::string("\x20\xFF\xFF", 3));
    choose(AddressBook, "a.adr", "15\t1\tG\r\n");
    choose(Folders, "f.fld", "\x20");
    EXPECT_FALSE(validateRestoreItems(*catalogue, *books, flags));
    EXPECT_EQ(logged, "\nPreferences:\nValidated successfully.\n"
                      "\nAddress Book:\nGroup record#15 is out of range (0 to 14).\n");
    EXPECT_EQ(ui.messages(), Lines{"Invalid Address Book file. Please View Status Log."});
}

} // namespace
} // namespace q57::test
