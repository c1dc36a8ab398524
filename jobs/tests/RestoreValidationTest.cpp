// SPDX-License-Identifier: MIT
#include "StagingFixture.h"

#include "formats/DeviceBlockFile.h"
#include "formats/TransferCheck.h"
#include "jobs/RestoreValidation.h"
#include "tests/support/HostileFiles.h"

#include <sstream>

namespace q57::test {
namespace {

using Set = std::set<std::string>;
using Lines = std::vector<std::string>;
using q57::testing::Hostile;

const std::string ThreeMemos = "<main>\r\n<label>A</label>\r\n<text>a</text>\r\n<label>B</label>\r\n<text>b</text>\r\n"
                               "<label>C</label>\r\n<text>c</text>\r\n</main>\r\n";

// A preferences file as a backup stores it: the block, its check value, complemented.
std::string preferencesFile(const std::string &block, bool damaged = false)
{
    const uint16_t check = transferCheck(0, reinterpret_cast<const uint8_t *>(block.data()), block.size());
    std::string data = block + static_cast<char>(check & 0xFF) + static_cast<char>(check >> 8);
    if (damaged)
        data[0] ^= 0x10;
    std::istringstream in(data, std::ios::binary);
    std::ostringstream out(std::ios::binary);
    ScriptedInteraction ui;
    StatusLog log;
    DataItem a, b;
    FormatContext context(log, ui, a, b);
    preferencesToFile(context, in, out);
    return out.str();
}

class RestoreValidation : public StagingFixture {
protected:
    bool validate(ItemId id) { return validateForRestore(id, item, context, flags); }
    DataItem item;
};

TEST_F(RestoreValidation, MemosReachTheDeviceFormThroughTwoPasses)
{
    setUpItem(item, "Memos", "mmo", "memos.mmo");
    writeFile("memos.mmo", ThreeMemos);
    ASSERT_TRUE(validate(Memos)) << logged;
    EXPECT_EQ(logged, "\nMemos:\nValidated successfully.\n");
    EXPECT_EQ(streamText(item), "C\tc\tB\tb\tA\ta\t");
    EXPECT_EQ(item.size, 12u);
    EXPECT_EQ(item.recordCount, 3);
    EXPECT_EQ(files(), (Set{"memos.mmo", "~mmoxxxx.tmp2"}));

    item.releaseItem(restoreReleaseMode(Memos));
    EXPECT_EQ(files(), Set{"memos.mmo"});
    EXPECT_EQ(readFile("memos.mmo"), ThreeMemos);
}

TEST_F(RestoreValidation, RefusedFileLeavesNoStagingBehind)
{
    setUpItem(item, "Address Book", "adr", "book.adr");
    writeFile("book.adr", "20\t[WA]\t7\r\n");
    EXPECT_FALSE(validate(AddressBook));
    EXPECT_EQ(logged, "\nAddress Book:\nRecord#20: 'Usage' must be 0 or 1.\n");
    EXPECT_EQ(ui.messages(), Lines{"Invalid Address Book file. Please View Status Log."});
    EXPECT_EQ(files(), Set{"book.adr"});
}

TEST_F(RestoreValidation, PreferencesAreCheckedAfterDecoding)
{
    setUpItem(item, "Preferences", "opt", "prefs.opt");
    writeFile("prefs.opt", preferencesFile("device block"));
    ASSERT_TRUE(validate(Preferences)) << logged;
    EXPECT_EQ(item.size, 12u); // without the check value
    EXPECT_EQ(streamText(item).substr(0, 12), "device block");
    EXPECT_EQ(logged, "\nPreferences:\nValidated successfully.\n");

    logged.clear();
    writeFile("prefs.opt", preferencesFile("device block", true));
    EXPECT_FALSE(validate(Preferences));
    EXPECT_EQ(logged, "\nPreferences:\nFile is corrupt. CRC failure.\n");
    EXPECT_EQ(ui.messages(), Lines{"Invalid Preferences file. Please View Status Log."});
    item.releaseItem(restoreReleaseMode(Preferences));
    EXPECT_EQ(files(), Set{"prefs.opt"});
}

TEST_F(RestoreValidation, FoldersFileOfOnlyTheHeader)
{
    setUpItem(item, "Folders", "fld", "folders.fld");
    writeFile("folders.fld", "\x22");
    ASSERT_TRUE(validate(Folders));
    EXPECT_EQ(item.size, 0u);
    EXPECT_EQ(logged, "\nFolders:\nFolders file has no defined records. File not validated.\n");
}

TEST_F(RestoreValidation, QuicktextCountsItsEntries)
{
    setUpItem(quicktext, "Quicktext", "qtx", "q.qtx");
    writeFile("q.qtx", "<main>\r\n<text>T1</text>\r\n<text>T2</text>\r\n</main>");
    ASSERT_TRUE(validateForRestore(Quicktext, quicktext, context, flags));
    EXPECT_EQ(quicktext.recordCount, 2);
    EXPECT_EQ(streamText(quicktext), "T2\tT1\t");
}

TEST_F(RestoreValidation, FilesThatAreNotThere)
{
    setUpItem(item, "Memos", "mmo", "  ");
    EXPECT_FALSE(validate(Memos));
    item.fileName = "missing.mmo";
    EXPECT_FALSE(validate(Memos));
    std::filesystem::create_directory(folder / "folder.mmo");
    item.fileName = "folder.mmo";
    EXPECT_FALSE(validate(Memos));
    EXPECT_EQ(ui.messages(),
              (Lines{"Please Enter Valid Memos Filename.", "Unable to restore. File missing.mmo does not exist.",
                     "Unable to restore. File folder.mmo does not exist."}));
    EXPECT_EQ(logged, "");

    item.selected = false;
    EXPECT_TRUE(validate(Memos));
}

struct HostileCase {
    ItemId id;
    const char *displayName;
    const char *extension;
    Hostile kind;
    std::uintmax_t limit;
    std::string reason; // after "Unable to restore. "; %s stands for the path
};

class RestoreValidationRefuses : public RestoreValidation, public ::testing::WithParamInterface<HostileCase> {};

// Refused at once, before anything is staged (a hang here is the fault).
TEST_P(RestoreValidationRefuses, HostileFilesAtOnce)
{
    const HostileCase &c = GetParam();
    const std::string name = std::string("item.") + c.extension;
    setUpItem(item, c.displayName, c.extension, name);
    const std::filesystem::path path = q57::testing::plantHostile(c.kind, folder, name, c.limit);
    item.splitFullPath(path.string());
    EXPECT_FALSE(validate(c.id));
    const size_t at = c.reason.find("%s");
    EXPECT_EQ(ui.messages(), Lines{"Unable to restore. " + c.reason.substr(0, at) + path.string() +
                                   c.reason.substr(at + 2)});
    std::filesystem::remove(folder / name);
    EXPECT_EQ(files(), Set{}) << "nothing staged";
}

const std::string NotRegular = "'%s' is not a regular file.";
const std::string TooLarge = "File '%s' is larger than ";

INSTANTIATE_TEST_SUITE_P(
    EveryItem, RestoreValidationRefuses,
    ::testing::Values(
        HostileCase{Memos, "Memos", "mmo", Hostile::Fifo, 0, NotRegular},
        HostileCase{AddressBook, "Address Book", "adr", Hostile::Device, 0, NotRegular},
        HostileCase{Quicktext, "Quicktext", "qtx", Hostile::LinkToDevice, 0, NotRegular},
        HostileCase{Memos, "Memos", "mmo", Hostile::OverLimit, 2 << 20, TooLarge + "2 MiB, the limit for Memos files."},
        HostileCase{AddressBook, "Address Book", "adr", Hostile::OverLimit, 2 << 20,
                    TooLarge + "2 MiB, the limit for Address Book files."},
        HostileCase{Quicktext, "Quicktext", "qtx", Hostile::OverLimit, 256 << 10,
                    TooLarge + "256 KiB, the limit for Quicktext files."},
        HostileCase{Preferences, "Preferences", "opt", Hostile::OverLimit, 1 << 20,
                    TooLarge + "1 MiB, the limit for Preferences files."},
        HostileCase{Folders, "Folders", "fld", Hostile::OverLimit, 1 << 20,
                    TooLarge + "1 MiB, the limit for Folders files."}));

// A file at its limit is read and judged by its content, not refused.
TEST_F(RestoreValidation, AFileAtItsLimitIsRead)
{
    setUpItem(item, "Quicktext", "qtx", "q.qtx");
    std::string text = "<main><text>a</text></main>";
    text += std::string(256 * 1024 - text.size(), ' ');
    writeFile("q.qtx", text);
    validate(Quicktext);
    for (const std::string &message : ui.messages())
        EXPECT_EQ(message.find("larger than"), std::string::npos) << message;
    EXPECT_NE(logged.find("\nQuicktext:\n"), std::string::npos) << "the passes ran";
}

TEST_F(RestoreValidation, EmptyFileIsSkippedNotRefused)
{
    setUpItem(item, "Memos", "mmo", "memos.mmo");
    writeFile("memos.mmo", "");
    EXPECT_TRUE(validate(Memos));
    EXPECT_EQ(item.size, 0u);
    EXPECT_EQ(logged, "\nMemos:\nEmpty file not validated.\n");
    EXPECT_EQ(files(), Set{"memos.mmo"});
}

TEST_F(RestoreValidation, UserFileWithATemporaryNameIsNotTouched)
{
    setUpItem(item, "Memos", "mmo", "~mmoxxxx.tmp2");
    writeFile("~mmoxxxx.tmp2", ThreeMemos);
    EXPECT_FALSE(validate(Memos));
    EXPECT_EQ(ui.messages(), Lines{"Cannot validate Memos. File '~mmoxxxx.tmp2' is in use."});
    EXPECT_EQ(readFile("~mmoxxxx.tmp2"), ThreeMemos);
}

TEST_F(RestoreValidation, StagingThatCannotBeCreated)
{
    setUpItem(item, "Memos", "mmo", "memos.mmo");
    writeFile("memos.mmo", ThreeMemos);
    std::filesystem::create_directory(folder / "~mmoxxxx.tmp");
    EXPECT_FALSE(validate(Memos));
    const std::string text =
        "Cannot validate Memos. Remove temporary file '" + folder.string() + "/~mmoxxxx.tmp' and retry.";
    EXPECT_EQ(ui.messages(), Lines{text});
    EXPECT_EQ(logged, "\nMemos:\n" + text);
}

} // namespace
} // namespace q57::test
