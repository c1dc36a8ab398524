// SPDX-License-Identifier: MIT
// The editor's book: what it reads from a file and what it writes back.
#include "BackupFixture.h"
#include "preview/AddressBookDocument.h"
#include "preview/AddressBookStorage.h"
#include "tests/support/FileBytes.h"
#include "tests/support/HostileFiles.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace q57::preview::test {
namespace {

// A device text with one of its LF-ended lines replaced.
std::string withDeviceLine(const std::string &device, size_t line, const std::string &text)
{
    std::istringstream in(device);
    std::string current;
    std::string result;
    for (size_t l = 0; std::getline(in, current); ++l)
        result += (l == line ? text : current) + "\n";
    return result;
}

TEST(AddressBookDocument, ABackupWrittenFileSavesByteForByte)
{
    const std::string file = backupWritten(sampleDeviceBook());
    ASSERT_NE(file.find("\"Smith, Jr\""), std::string::npos) << "the fixture needs a quoted comma";
    ASSERT_NE(file.find("\"[WA,HE]\""), std::string::npos);
    const AddressBookDocument document = AddressBookDocument::fromFileText(file);
    EXPECT_EQ(document.size(), 6u);
    EXPECT_EQ(document.toFileText(), file);
    EXPECT_FALSE(document.modified());
}

TEST(AddressBookDocument, AnEditedCellSavesAsABackupOfTheEditedDeviceBook)
{
    const struct {
        const char *name;
        size_t record;
        size_t field;
        std::string value;
        std::string deviceLine; // the record's device line with the same edit
    } cases[] = {
        {"name with a comma", 2, 3, "Ann, Marie",
         "20\t3\t1\tAnn, Marie\tSmith, Jr\t\tanna@example.org\thome@example.org\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t"},
        {"group name with an equals sign", 1, 2, "A=B", "1\t0\tA=B\t22"},
        {"field past the end of a short record", 5, 10, "555", "23\t300\t1\tDora\t\t\t\t\t\t\t555"},
    };
    for (const auto &c : cases) {
        AddressBookDocument document = AddressBookDocument::fromFileText(backupWritten(sampleDeviceBook()));
        document.setField(c.record, c.field, c.value);
        EXPECT_EQ(document.toFileText(), backupWritten(withDeviceLine(sampleDeviceBook(), c.record, c.deviceLine)))
            << c.name;
        EXPECT_TRUE(document.modified()) << c.name;
    }
}

TEST(AddressBookDocument, SelectionEditsWriteTheCodeListAndOddListsStayAsWritten)
{
    AddressBookDocument document =
        AddressBookDocument::fromFileText("20\t\"[wa, he]\"\t1\tAnn\r\n21\t5\t1\tBob\r\n22\t[]\t1\tCy\r\n");
    EXPECT_EQ(document.selection(0), 3);
    EXPECT_EQ(document.selection(1), 5);
    EXPECT_EQ(document.toFileText(), "20\t\"[wa, he]\"\t1\tAnn\r\n21\t5\t1\tBob\r\n22\t[]\t1\tCy\r\n");
    document.setSelection(0, 0x81);
    document.setSelection(2, 0x10);
    EXPECT_EQ(document.toFileText(), "20\t\"[WA,FX]\"\t1\tAnn\r\n21\t5\t1\tBob\r\n22\t[HP]\t1\tCy\r\n");
}

TEST(AddressBookDocument, CommentsGoToTheTopAndBlankLinesAreDropped)
{
    const AddressBookDocument document =
        AddressBookDocument::fromFileText("# first, note\r\n20\t[]\t1\tAnn\r\n\r\n\t\t,\n# second\r21\t[]\t1\tBob");
    EXPECT_EQ(document.comments(), (std::vector<std::string>{"# first, note", "# second"}));
    EXPECT_EQ(document.toFileText(), "# first, note\r\n# second\r\n20\t[]\t1\tAnn\r\n21\t[]\t1\tBob\r\n");
}

TEST(AddressBookDocument, TrailingCommasGoAsARestoreDropsThemButTheFieldCountStays)
{
    const AddressBookDocument document = AddressBookDocument::fromFileText("20\t[]\t1\tAnn,,\t\t\r\n");
    EXPECT_EQ(document.record(0).fields.size(), 6u);
    EXPECT_EQ(document.toFileText(), "20\t[]\t1\tAnn\t\t\r\n");
}

TEST(AddressBookDocument, RecordsAreAddedWithinTheirRangesAfterTheirKind)
{
    AddressBookDocument document = AddressBookDocument::fromFileText("0\t1\tA\r\n16\t[]\t1\tAnn\r\n17\t[]\t1\tBob\r\n");
    EXPECT_EQ(document.addRecord(RecordKind::Group), 1u);
    EXPECT_EQ(document.number(1), 1u);
    EXPECT_EQ(document.addRecord(RecordKind::Contact), 4u);
    EXPECT_EQ(document.number(4), 18u);
    EXPECT_EQ(document.record(4).fields.size(), AddressBookDocument::ContactFieldCount);
    EXPECT_EQ(document.field(4, AddressBookDocument::SelectionField), "[]");
    for (int i = 2; i < 15; ++i)
        ASSERT_TRUE(document.addRecord(RecordKind::Group));
    EXPECT_FALSE(document.addRecord(RecordKind::Group)) << "15 groups at most";

    AddressBookDocument contactsOnly = AddressBookDocument::fromFileText("16\t[]\t1\tAnn\r\n");
    EXPECT_EQ(contactsOnly.addRecord(RecordKind::Group), 0u) << "a group goes before the contacts it may name";
}

TEST(AddressBookDocument, RenumberingStaysInRangeAndCarriesTheMemberIds)
{
    AddressBookDocument document =
        AddressBookDocument::fromFileText("0\t1\tA\t20\t21\t20\r\n20\t[]\t1\tAnn\r\n21\t[]\t1\tBob\r\n");
    EXPECT_FALSE(document.renumber(1, 21)) << "in use";
    EXPECT_FALSE(document.renumber(1, 15));
    EXPECT_FALSE(document.renumber(1, 400));
    EXPECT_FALSE(document.renumber(0, 16)) << "a group stays a group";
    EXPECT_TRUE(document.renumber(1, 399));
    EXPECT_EQ(document.members(0), (std::vector<uint32_t>{399, 21, 399}));
    EXPECT_TRUE(document.renumber(0, 14));
    EXPECT_EQ(document.field(0, 0), "14");
}

TEST(AddressBookDocument, RemovingAContactRemovesItsMemberIds)
{
    AddressBookDocument document = AddressBookDocument::fromFileText(
        "0\t1\tA\t20\t21\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t2004\r\n20\t[]\t1\tAnn\r\n21\t[]\t1\tBob\r\n");
    document.remove({1});
    EXPECT_EQ(document.size(), 2u);
    EXPECT_EQ(document.members(0), (std::vector<uint32_t>{21}));
    EXPECT_EQ(document.field(0, 19), "2004") << "the fields after the members stay where they are";
}

TEST(AddressBookDocument, EditedTextCannotSplitTheLine)
{
    AddressBookDocument document = AddressBookDocument::fromFileText("20\t[]\t1\tAnn\r\n");
    document.setField(0, 3, "A\tB\r\nC");
    EXPECT_EQ(document.toFileText(), "20\t[]\t1\tA B  C\r\n");
}

class AddressBookStorageTest : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::remove_all(root); }
    std::string read(const std::filesystem::path &path) { return q57::testing::readWhole(path); }
    std::filesystem::path root = q57::testing::makeScratchFolder("q57-adr-storage");
};

TEST_F(AddressBookStorageTest, SavingReplacesTheFileWholeKeepingItsModeAndLink)
{
    const std::filesystem::path file = root / "book.adr";
    std::ofstream(file, std::ios::binary) << "20\t[]\t1\tAnn\r\n";
    ::chmod(file.c_str(), 0640);
    std::filesystem::create_symlink(file, root / "link.adr");
    AddressBookDocument document;
    ASSERT_EQ(loadAddressBook((root / "link.adr").string(), document), LoadResult::Loaded);
    document.setField(0, 3, "Anna");
    ASSERT_TRUE(saveAddressBook(document, (root / "link.adr").string()));
    EXPECT_TRUE(std::filesystem::is_symlink(root / "link.adr"));
    EXPECT_EQ(read(file), "20\t[]\t1\tAnna\r\n");
    struct stat info {};
    ::stat(file.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root), {}), 2) << "no temporary file left";
}

TEST_F(AddressBookStorageTest, MissingUnreadableAndUnwritablePlaces)
{
    AddressBookDocument document;
    EXPECT_EQ(loadAddressBook((root / "none.adr").string(), document), LoadResult::Missing);
    EXPECT_EQ(document.size(), 0u);
    EXPECT_EQ(loadAddressBook(root.string(), document), LoadResult::Unreadable) << "a folder";
    std::ofstream(root / "plain") << "x";
    EXPECT_FALSE(saveAddressBook(document, (root / "plain" / "book.adr").string())) << "parent is a file";
}

// What no book can be is refused before anything is read, naming the file (a
// hang here is the fault); a book at the limit still loads.
TEST_F(AddressBookStorageTest, HostileFilesAreRefusedWithTheirReason)
{
    using q57::testing::Hostile;
    constexpr std::uintmax_t Limit = 2 * 1024 * 1024;
    const struct {
        Hostile kind;
        const char *reason; // after the quoted path
    } cases[] = {
        {Hostile::Fifo, "' is not a regular file."},
        {Hostile::Device, "' is not a regular file."},
        {Hostile::LinkToDevice, "' is not a regular file."},
        {Hostile::OverLimit, "' is larger than 2 MiB, the limit for Address Book files."},
    };
    for (const auto &c : cases) {
        const std::string path = q57::testing::plantHostile(c.kind, root, "book.adr", Limit).string();
        AddressBookDocument document;
        std::string reason;
        EXPECT_EQ(loadAddressBook(path, document, &reason), LoadResult::Refused) << path;
        EXPECT_NE(reason.find("'" + path + c.reason), std::string::npos) << reason;
        EXPECT_EQ(document.size(), 0u);
        std::filesystem::remove(root / "book.adr");
    }

    std::string atLimit = "20\t[]\t1\tAnn\r\n";
    atLimit += "#" + std::string(Limit - atLimit.size() - 3, 'x') + "\r\n";
    ASSERT_EQ(atLimit.size(), Limit);
    std::ofstream(root / "book.adr", std::ios::binary) << atLimit;
    AddressBookDocument document;
    EXPECT_EQ(loadAddressBook((root / "book.adr").string(), document), LoadResult::Loaded);
    EXPECT_EQ(document.size(), 1u);
}

} // namespace
} // namespace q57::preview::test
