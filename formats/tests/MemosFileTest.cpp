// SPDX-License-Identifier: MIT
#include "FormatFixture.h"

#include "formats/MemosFile.h"
#include "formats/TextEntryTable.h"

#include <sstream>

namespace q57::test {
namespace {

using Lines = std::vector<std::string>;

std::string memoFile(const std::string &body)
{
    return "<main>\r\n" + body + "</main>\r\n";
}

std::string memo(const std::string &label, const std::string &text)
{
    return "<label>" + label + "</label>\r\n<text>" + text + "</text>\r\n";
}

std::string endLine(const char *tag)
{
    return std::string("Unexpected End Of Memos File. Expecting ") + tag + " tag in file.";
}

class MemosFile : public FormatFixture {
protected:
    // The device data a restore sends: the reader's output in reverse record order.
    std::string restored(const std::string &file)
    {
        const PassResult read = run(memosFromFile, file);
        EXPECT_TRUE(read.ok) << logged();
        return run(reverseTextEntries, read.output).output;
    }
};

TEST_F(MemosFile, WriterLayout)
{
    EXPECT_EQ(run(memosToFile, "L1\tT1\tL2\tT2\t").output,
              "<main>\r\n<label>L1</label>\r\n<text>T1</text>\r\n<label>L2</label>\r\n<text>T2</text>\r\n</main>\r\n");
    EXPECT_EQ(run(memosToFile, "L\tline1\nline2").output,
              "<main>\r\n<label>L</label>\r\n<text>line1\r\nline2</text>\r\n</main>\r\n");
    EXPECT_EQ(run(memosToFile, "L\t").output, "<main>\r\n<label>L</label>\r\n<text></text>\r\n</main>\r\n");
    EXPECT_EQ(run(memosToFile, "L1\tT1\tL2").output,
              "<main>\r\n<label>L1</label>\r\n<text>T1</text>\r\n<label>L2</main>\r\n");
    EXPECT_EQ(run(memosToFile, "").output, "");
}

TEST_F(MemosFile, RoundTripIsByteExact)
{
    const std::string device = "Shopping\tMilk\nEggs\n\tEmpty\t\tx<y & z\t" + repeat('T', 2000) + "\t";
    const std::string file = run(memosToFile, device).output;
    const PassResult back = run(memosFromFile, file);
    EXPECT_TRUE(back.ok) << logged();
    EXPECT_EQ(back.output, device);
    EXPECT_EQ(context.textEntryCount, 3);
    EXPECT_EQ(logged(), "");
}

TEST_F(MemosFile, RestoreSendsRecordsLastFirst)
{
    EXPECT_EQ(restored(memoFile(memo("A", "a") + memo("B", "bb") + memo("C", "ccc"))), "C\tccc\tB\tbb\tA\ta\t");
    EXPECT_EQ(restored(memoFile("")), "");
}

TEST_F(MemosFile, ReaderCases)
{
    const std::string label20 = repeat('L', 20);
    const std::string label21 = repeat('M', 21);
    expectReaderCases(memosFromFile, {
        {"empty main", "<main>\r\n</main>", true, "", {}},
        {"empty input", "", true, "", {}},
        {"tags in any case", "<MAIN><Label>a</LABEL><tExT>b</Text></Main>", true, "a\tb\t", {}},
        {"text before main and after it",
         "junk\r\n<label>x<main>" + memo("a", "b") + "</main>junk<label>",
         true,
         "a\tb\t",
         {}},
        {"between elements ignored", "<main> \r\n xx" + memo("a", "b") + "yy</main>", true, "a\tb\t", {}},
        {"line breaks and tabs", memoFile(memo("a", "1\r\n2\r3\t4\n5")), true, "a\t1\n2\n3 4\n5\t", {}},
        {"other angle brackets", memoFile(memo("a", "<b> & <labels>")), true, "a\t<b> & <labels>\t", {}},
        {"label of 20", memoFile(memo(label20, "t")), true, label20 + "\tt\t", {}},
        {"label of 21",
         memoFile(memo(label21, "t")),
         false,
         label21,
         {"Memo '" + repeat('M', 20) + "': Label exceeds 20 character limit at line 2. (21 chars.)",
          endLine("</main>")}},
        {"text of 2000", memoFile(memo("a", repeat('t', 2000))), true, "a\t" + repeat('t', 2000) + "\t", {}},
        {"text of 2001 on line 4",
         memoFile(memo("a", "\r\n" + repeat('t', 2000))),
         false,
         "a\t\n" + repeat('t', 2000),
         {"Memo 'a': Text exceeds 2000 character limit at line 4. (2001 chars.)", endLine("</main>")}},
        {"no main", "<label>a</label>", false, "", {endLine("<main>")}},
        {"main closed before opened",
         "x\r\n</main><main>",
         false,
         "",
         {"</main> tag unexpected at line 1.", endLine("<main>")}},
        {"missing end of main", "<main>\r\n" + memo("a", "b"), false, "a\tb\t", {endLine("</main>")}},
        {"closing label where a label is due",
         "<main>\r\n</label>",
         false,
         "",
         {"</label> tag unexpected at line 2.", endLine("</main>")}},
        {"text where a label is due",
         "<main><text>",
         false,
         "",
         {"<text> tag unexpected at line 1.", endLine("</main>")}},
        {"second main", "<main><main>", false, "", {"<main> tag unexpected at line 1.", endLine("</main>")}},
        {"tag inside a label",
         "<main><label>a<text>",
         false,
         "a",
         {"<text> tag unexpected at line 1.", endLine("</label>")}},
        {"end of main inside a text", "<main><label>a</label><text>b</main>", false, "a\tb", {endLine("</text>")}},
        {"invalid tag at end of file", "<main></main", false, "", {"Invalid tag at end of file.", endLine("</main>")}},
    });
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(MemosFile, MemoCountLimit)
{
    std::string body;
    for (int i = 0; i < 199; ++i)
        body += memo("l", "t");
    EXPECT_TRUE(run(memosFromFile, memoFile(body)).ok);
    EXPECT_EQ(context.textEntryCount, 199);

    clearLog();
    EXPECT_FALSE(run(memosFromFile, memoFile(body + memo("l", "t"))).ok);
    EXPECT_EQ(loggedLines(), Lines{"Memo count exceeds MAX_RECORDS: 200 !"});
    EXPECT_EQ(context.textEntryCount, 199);
}

TEST_F(MemosFile, LevelTwoDeviceCutsLabelsTo19)
{
    context.deviceLevelTwo = true;
    const std::string label20 = "abcdefghijklmnopqrsT";
    const PassResult result = run(memosFromFile, memoFile(memo(label20, "t") + memo("short", "u")));
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.output, label20.substr(0, 19) + "\tt\tshort\tu\t");
    EXPECT_EQ(loggedLines(), Lines{"Memo [abcdefghijklmnopqrs]: Label truncated to 19 characters."});
    EXPECT_EQ(ui.messages(),
              Lines{"One or more memo labels were truncated prior to being restored. Please View Status Log."});

    clearLog();
    EXPECT_FALSE(run(memosFromFile, memoFile(memo(repeat('x', 21), "t"))).ok);
    EXPECT_EQ(loggedLines(),
              (Lines{"Memo [" + repeat('x', 19) + "]: Label truncated to 19 characters.",
                     "Memo [" + repeat('x', 19) + "]: Label truncated to 19 characters.",
                     "Memo '" + repeat('x', 20) + "': Label exceeds 20 character limit at line 2. (21 chars.)",
                     endLine("</main>")}));
}

TEST_F(MemosFile, TablesOfTwoContextsAreSeparate)
{
    DataItem otherBook, otherQuicktext;
    FormatContext other(log, ui, otherBook, otherQuicktext);
    std::istringstream in(memoFile(memo("a", "b")), std::ios::binary);
    std::ostringstream out(std::ios::binary);
    EXPECT_TRUE(memosFromFile(other, in, out));
    EXPECT_EQ(other.textEntryCount, 1);
    EXPECT_EQ(context.textEntryCount, 0);
}

} // namespace
} // namespace q57::test
