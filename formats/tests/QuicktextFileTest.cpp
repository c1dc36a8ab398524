// SPDX-License-Identifier: MIT
#include "FormatFixture.h"

#include "formats/QuicktextFile.h"
#include "formats/TextEntryTable.h"

namespace q57::test {
namespace {

std::string entries(int count)
{
    std::string body;
    for (int i = 0; i < count; ++i)
        body += "<text>q" + std::to_string(i) + "</text>\r\n";
    return body;
}

// What the reader passes on for the first `count` entries of entries().
std::string passedOn(int count)
{
    std::string device;
    for (int i = 0; i < count; ++i)
        device += "q" + std::to_string(i) + "\t";
    return device;
}

std::string endLine(const char *tag)
{
    return std::string("Unexpected End Of File. Expecting ") + tag + " tag in file.";
}

using QuicktextFile = FormatFixture;

TEST_F(QuicktextFile, WriterLayout)
{
    EXPECT_EQ(run(quicktextToFile, "T1\tT2\t").output, "<main>\r\n<text>T1</text>\r\n<text>T2</text>\r\n</main>");
    EXPECT_EQ(run(quicktextToFile, "a\nb").output, "<main>\r\n<text>a\r\nb</text>\r\n</main>");
    EXPECT_EQ(run(quicktextToFile, "").output, "");
}

TEST_F(QuicktextFile, RoundTripAndReversal)
{
    const std::string device = "first\tline one\nline two\t" + repeat('x', 160) + "\t";
    const PassResult back = run(quicktextFromFile, run(quicktextToFile, device).output);
    EXPECT_TRUE(back.ok) << logged();
    EXPECT_EQ(back.output, device);
    EXPECT_EQ(quicktext.recordCount, 3);
    EXPECT_EQ(context.textEntryCount, 3);

    const PassResult read = run(quicktextFromFile, "<main><text>T1</text><text>T2</text><text>T3</text></main>\r\n");
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(run(reverseTextEntries, read.output).output, "T3\tT2\tT1\t");
}

TEST_F(QuicktextFile, ReaderCases)
{
    expectReaderCases(quicktextFromFile, {
        {"19 entries", "<main>\r\n" + entries(19) + "</main>", true, passedOn(19), {}},
        {"20 entries",
         "<main>\r\n" + entries(20) + "</main>",
         false,
         passedOn(19),
         {"Number of QuickText entries exceeds maximum of 20 at line 21."}},
        {"text of 160", "<main><text>" + repeat('a', 160) + "</text></main>", true, repeat('a', 160) + "\t", {}},
        {"text of 161",
         "<main>\r\n<text>" + repeat('a', 161) + "</text></main>",
         false,
         repeat('a', 161),
         {"Text exceeds limit 160 character limit at line 2. (161 chars.)", endLine("</main>")}},
        {"CR LF counts once",
         "<main><text>" + repeat('a', 158) + "\r\nb</text></main>",
         true,
         repeat('a', 158) + "\nb\t",
         {}},
        {"upper case tags", "<MAIN><TEXT>x</TEXT></MAIN>", true, "x\t", {}},
        {"missing end of main", "<main><text>x</text>", false, "x\t", {endLine("</main>")}},
        {"missing main", "<text>x</text>", false, "", {endLine("<main>")}},
        {"inside an entry at the end", "<main><text>x", false, "x", {endLine("</text>")}},
        {"text inside text",
         "<main><text>x<text>",
         false,
         "x",
         {"<text> tag unexpected at line 1.", endLine("</text>")}},
        {"closing text between entries",
         "<main>\r\n</text>",
         false,
         "",
         {"</text> tag unexpected at line 2.", endLine("</main>")}},
        {"label tags between entries skip a byte", "<main><label>x<text>a</text></label>y</main>", true, "a\t", {}},
        {"label tags inside an entry are dropped", "<main><text>a<label><text></text></main>", true, "a<text>\t", {}},
    });
}

TEST_F(QuicktextFile, CountsEntriesForTheDeviceWrite)
{
    EXPECT_TRUE(run(quicktextFromFile, "<main>" + entries(7) + "</main>").ok);
    EXPECT_EQ(quicktext.recordCount, 7);
    EXPECT_EQ(quicktext.capacity, 20);
    EXPECT_TRUE(run(quicktextFromFile, "").ok);
    EXPECT_EQ(quicktext.recordCount, 0);
}

} // namespace
} // namespace q57::test
