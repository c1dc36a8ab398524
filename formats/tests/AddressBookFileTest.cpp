// SPDX-License-Identifier: MIT
#include "AddressBookBuilders.h"
#include "FormatFixture.h"

#include "formats/AddressBookFile.h"
#include "formats/AddressBookLineReader.h"

namespace q57::test {
namespace {

using Lines = std::vector<std::string>;

class AddressBookFile : public FormatFixture {
protected:
    std::string backup(const std::string &device)
    {
        return run(quoteAddressBookFields, run(writeAddressBookFile, device).output).output;
    }
    std::string restore(const std::string &file)
    {
        const PassResult result = run(readAddressBookFile, file);
        EXPECT_TRUE(result.ok) << logged();
        return result.output;
    }
};

struct Conversion {
    const char *name;
    std::string input;
    std::string output;
};

TEST_F(AddressBookFile, DeviceLinesToFileLines)
{
    const std::string longLine = "20\t3\t" + std::string(1495, 'x') + "\n"; // 1500 bytes: pieces of 700
    const Conversion cases[] = {
        {"contact", "20\t3\t1\n", "20\t[WA,HE]\t1\r\n"},
        {"every code", "16\t255\n", "16\t[WA,HE,WE,AE,HP,WP,MP,FX]\r\n"},
        {"no selection", "16\t0\t1\n", "16\t[]\t1\r\n"},
        {"selection over 255", "16\t300\t1\n", "16\t[]\t1\r\n"},
        {"selection not a number", "16\tab\t1\n", "16\t[]\t1\r\n"},
        {"group line", "3\t1\tFriends\t20\n", "3\t1\tFriends\t20\r\n"},
        {"not a number", "abc\t3\n", "abc\t3\r\n"},
        {"comment", "#20\t3\n", "#20\t3\r\n"},
        {"empty first field", "\t3\n", "\t3\r\n"},
        {"no second field", "20\n", "20\r\n"},
        {"last line without LF", "20\t1", "20\t[WA]"},
        {"CR passes through", "20\t2\r\n", "20\t[HE]\r\r\n"},
        {"long line in pieces", longLine, "20\t[WA,HE]\t" + std::string(1495, 'x') + "\r\n"},
    };
    for (const Conversion &c : cases)
        EXPECT_EQ(run(writeAddressBookFile, c.input).output, c.output) << c.name;
}

TEST_F(AddressBookFile, QuotingFields)
{
    const std::string wide(2100, 'w');
    const Conversion cases[] = {
        {"plain", "20\tSmith\r\n", "20\tSmith\r\n"},
        {"comma", "20\t[WA,HE]\t1\r\n", "20\t\"[WA,HE]\"\t1\r\n"},
        {"equals sign", "a=b\tc\n", "\"a=b\"\tc\n"},
        {"double quotes doubled", "say \"hi\"\t", "\"say \"\"hi\"\"\"\t"},
        {"field at end of input", "x,y", "\"x,y\""},
        {"2100 characters", wide + "\t" + wide.substr(1) + "\n", "\"" + wide + "\"\t" + wide.substr(1) + "\n"},
    };
    for (const Conversion &c : cases)
        EXPECT_EQ(run(quoteAddressBookFields, c.input).output, c.output) << c.name;
}

TEST(AddressBookUnquote, Fields)
{
    const Conversion cases[] = {
        {"quoted with comma", "\"a,b\"", "a,b"},
        {"quoted with equals", "\"a=b\"", "a=b"},
        {"doubled quotes", "\"say \"\"hi\"\"\"", "say \"hi\""},
        {"quotes without separator stay", "\"Bob\"", "\"Bob\""},
        {"too short", "\"\"", "\"\""},
        {"opening quote only", "\"a,b", "a,"},
        {"unquoted comma", "a,b", "a,b"},
    };
    for (const Conversion &c : cases)
        EXPECT_EQ(unquoteField(c.input), c.output) << c.name;
}

TEST_F(AddressBookFile, RoundTripThroughTheFile)
{
    const std::string device = "0\t1\tFamily\t20\t21\n"
                               "20\t3\t1\tAnn\tSmith, Jr.\t\tann@w\tann@h\t\t\t\t\t\t\tA=B \"Co\"\n"
                               "21\t0\t0\tBo\n";
    const std::string file = backup(device);
    EXPECT_EQ(file, "0\t1\tFamily\t20\t21\r\n"
                    "20\t\"[WA,HE]\"\t1\tAnn\t\"Smith, Jr.\"\t\tann@w\tann@h\t\t\t\t\t\t\t\"A=B \"\"Co\"\"\"\r\n"
                    "21\t[]\t0\tBo\r\n");
    EXPECT_EQ(restore(file), "\n\n0\t1\tFamily\t20\t21\n"
                             "20\t3\t1\t1\tAnn\tSmith, Jr.\t\tann@w\tann@h\t\t\t\t\t\t\tA=B \"Co\"\n"
                             "21\t0\t0\t1\tBo\n");
    EXPECT_EQ(addressBook.recordCount, 2);
    EXPECT_EQ(addressBook.highestRecordId, 21);
}

TEST_F(AddressBookFile, DeviceFormWritten)
{
    const Conversion cases[] = {
        {"contact from the backup", "20\t\"[WA,HE]\"\t1\r\n", "\n\n20\t3\t1\t0\n"},
        {"ends after usage", "20\t[WA]\t1\r\n", "\n\n20\t1\t1\t0\n"},
        {"leading zeros kept", "016\t003\t1\tA\r\n", "\n\n016\t003\t1\t0\tA\n"},
        {"trailing tabs and commas go", "20\t[]\t1\tA\t\t,\t,\r\n", "\n\n20\t0\t1\t0\tA\n"},
        {"quotes without separator sent", "20\t[]\t1\t\"Bob\"\r\n", "\n\n20\t0\t1\t0\t\"Bob\"\n"},
        {"only comments and blanks", "# one\r\n\r\n#two\r\n", "\n\n"},
        {"lone CR ends a line", "20\t[]\t1\tA\r21\t[]\t1\tB", "\n\n20\t0\t1\t0\tA\n21\t0\t1\t0\tB\n"},
        {"membership of two groups",
         fileOf(
             {group(0, "A", {"20"}), group(2, "B", {"21", "20"}), contact(20, "[]", {{FirstName, "X"}}), "21\t[]\t1"}),
         "\n\n0\t1\tA\t20\n2\t1\tB\t21\t20\n20\t0\t1\t5\tX\n21\t0\t1\t4\n"},
        {"timestamps zero-filled", contact(20, "[]", {{Year, "20x5"}, {MonthDay, "3097"}, {HourMin, "?"}}) + "\r\n",
         "\n\n20\t0\t1\t0" + std::string(18, '\t') + "\t0000\t3097\t0\n"},
        {"group timestamps zero-filled", group(1, "G", {}, {"y2k", "0"}) + "\r\n",
         "\n\n1\t1\tG" + std::string(16, '\t') + "\t000\t0\n"},
    };
    for (const Conversion &c : cases) {
        clearLog();
        EXPECT_EQ(restore(c.input), c.output) << c.name;
    }
}

TEST_F(AddressBookFile, LinesLongerThan700)
{
    // The 701st character is a line of its own: group 7 without a name.
    const std::string line701 = "0\t1\tG" + std::string(695, '\t') + "7";
    EXPECT_EQ(restore(line701 + "\r\n"), "\n\n0\t1\tG\n7\n");
    EXPECT_EQ(loggedLines(), Lines{"Group Record#7: Missing name."});

    clearLog();
    const std::string line700 = "0\t1\t" + std::string(696, 'n');
    const PassResult result = run(readAddressBookFile, line700 + "\r\n" + group(1, "G") + "\r\n");
    EXPECT_FALSE(result.ok); // the name is too long, but no blank line is made of the line end
    EXPECT_EQ(loggedLines(), Lines{"Group Record#0: 'Name' is too long (Max. 20 chars.): 696 chars."});
}

TEST_F(AddressBookFile, FailedRecordIsStillWrittenButNotAfterR1ToR3)
{
    PassResult result = run(readAddressBookFile, "20\t[]\t7\tA\r\n");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.output, "\n\n20\t0\t7\t0\tA\n");
    result = run(readAddressBookFile, "500\t[]\t1\r\n");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.output, "\n\n");
}

} // namespace
} // namespace q57::test
