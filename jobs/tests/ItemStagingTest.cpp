// SPDX-License-Identifier: MIT
#include "StagingFixture.h"

#include "jobs/ItemStaging.h"

namespace q57::test {
namespace {

using Set = std::set<std::string>;
using Lines = std::vector<std::string>;

TEST(TrimFileName, RemovesSpaceAtBothEnds)
{
    const std::pair<const char *, const char *> cases[] = {
        {"  book.adr \t", "book.adr"}, {"my book.adr", "my book.adr"}, {"   ", ""}, {"", ""}};
    for (const auto &[given, trimmed] : cases) {
        DataItem item;
        item.fileName = given;
        trimFileName(item);
        EXPECT_EQ(item.fileName, trimmed);
    }
}

class ItemStaging : public StagingFixture {
protected:
    ItemStaging() { setUpItem(item, "Memos", "mmo", "memos.mmo"); }
    bool open(const std::string &source, bool withOutput) { return openPass(item, source, withOutput, flags, ui, log); }
    DataItem item;
};

TEST_F(ItemStaging, PassesAlternateBetweenTheTwoTemporaryFiles)
{
    writeFile("memos.mmo", "user");
    std::string name = item.fileName;
    ASSERT_TRUE(open(name, true));
    item.passOutput << "one";
    item.closeStreams();
    advancePass(item, name);
    EXPECT_EQ(name, "~mmoxxxx.tmp");
    EXPECT_EQ(files(), (Set{"memos.mmo", "~mmoxxxx.tmp"}));

    ASSERT_TRUE(open(name, true));
    EXPECT_EQ(streamText(item), "one");
    item.closeStreams();
    advancePass(item, name);
    EXPECT_EQ(name, "~mmoxxxx.tmp2");
    EXPECT_EQ(files(), (Set{"memos.mmo", "~mmoxxxx.tmp2"}));

    ASSERT_TRUE(open(name, true));
    item.closeStreams();
    discardPassOutput(item, name);
    EXPECT_EQ(files(), (Set{"memos.mmo", "~mmoxxxx.tmp2"}));
    EXPECT_EQ(readFile("memos.mmo"), "user");
}

TEST_F(ItemStaging, FailuresNameTheFileAndTheJob)
{
    const std::string temp = folder.string() + "/~mmoxxxx.tmp";
    EXPECT_FALSE(open("memos.mmo", false));
    EXPECT_FALSE(open("~mmoxxxx.tmp", false));
    flags.backupMode = true;
    EXPECT_FALSE(open("~mmoxxxx.tmp", false));
    // An output that cannot be created: a folder stands where the file should be.
    writeFile("memos.mmo", "user");
    std::filesystem::create_directory(folder / "~mmoxxxx.tmp");
    flags.backupMode = false;
    EXPECT_FALSE(open("memos.mmo", true));

    const Lines expected{"Cannot validate Memos. File 'memos.mmo' is in use.",
                         "Cannot validate Memos. Remove temporary file '" + temp + "' and retry.",
                         "Cannot backup Memos. Remove temporary file '" + temp + "' and retry.",
                         "Cannot validate Memos. Remove temporary file '" + temp + "' and retry."};
    EXPECT_EQ(ui.messages(), expected);
    EXPECT_EQ(logged, expected[0] + expected[1] + expected[2] + expected[3]);
}

} // namespace
} // namespace q57::test
