// SPDX-License-Identifier: MIT
#include "AddressBookBuilders.h"
#include "FormatFixture.h"

#include "formats/AddressBookFile.h"

namespace q57::test {
namespace {

using Lines = std::vector<std::string>;

struct RuleCase {
    const char *rule;
    Lines file;
    bool ok;
    Lines log;
};

class AddressBookRules : public FormatFixture {
protected:
    void expectCases(std::initializer_list<RuleCase> cases)
    {
        for (const RuleCase &c : cases) {
            clearLog();
            EXPECT_EQ(run(readAddressBookFile, fileOf(c.file)).ok, c.ok) << c.rule;
            EXPECT_EQ(loggedLines(), c.log) << c.rule;
        }
    }
};

std::vector<std::string> fifteenGroups()
{
    Lines lines;
    for (int g = 0; g < 15; ++g)
        lines.push_back(group(g, "G"));
    return lines;
}

TEST_F(AddressBookRules, RecordNumbers)
{
    Lines sixteenGroups = fifteenGroups();
    sixteenGroups.push_back(group(3, "again"));
    expectCases({
        {"record number missing",
         {contact(20, "[]", {{FirstName, "A"}}), "\tx"},
         false,
         {"Missing record number after record: 20."}},
        {"record number not numeric",
         {"abc\tx"},
         false,
         {"Invalid record number (abc) after record: 0. [Check file format]"}},
        {"record number read to 10 characters",
         {"abcdefghijklm"},
         false,
         {"Invalid record number (abcdefghij) after record: 0. [Check file format]"}},
        {"leading 0 makes record 0", {"0abc"}, true, {"Group Record#0: Missing name."}},
        {"record number 400 out of range",
         {"400\tx"},
         false,
         {"Record #400 is an invalid record number.", "Valid record numbers are between 1 and 399."}},
        {"duplicate record still meets the group's own rules",
         {group(5, "A"), "5\t7\tB"},
         false,
         {"Record#05 is a duplicate record.", "Group Record#5: 'Usage' must be 0 or 1. (7)"}},
        {"blank line",
         {group(1, "A"), "\t,\t", contact(20, "", {{FirstName, "B"}})},
         true,
         {"Blank line encountered after record number: 1. Ignored."}},
        {"comments are silent", {"# comment", "#", "#\tx"}, true, {}},
        {"sixteenth group over the limit",
         sixteenGroups,
         false,
         {"Record#03 is a duplicate record.",
          "Number of groups exceeds the maximum allowed in the device (Max. 15 groups): 16"}},
        {"group number 15 out of range", {"15\t1\tX"}, false, {"Group record#15 is out of range (0 to 14)."}},
    });
}

TEST_F(AddressBookRules, GroupRecords)
{
    Lines members(16, "");
    members[15] = "400";
    expectCases({
        {"group of a number only has no name", {"3"}, true, {"Group Record#3: Missing name."}},
        {"group usage not a digit", {"3\tx\tN"}, false, {"Group Record#3: 'Usage' must be 0 or 1."}},
        {"group usage of two digits", {"3\t10\tN"}, false, {"Group Record#3: 'Usage' must be 0 or 1."}},
        {"group usage above 1", {"3\t2\tN"}, false, {"Group Record#3: 'Usage' must be 0 or 1. (2)"}},
        {"group name missing after usage", {"3\t1"}, true, {"Group Record#3: Missing name."}},
        {"group name of 20", {group(3, std::string(20, 'n'))}, true, {}},
        {"group name of 21",
         {group(3, std::string(21, 'n'))},
         false,
         {"Group Record#3: 'Name' is too long (Max. 20 chars.): 21 chars."}},
        {"member ID not numeric", {group(3, "N", {"2a"})}, false, {"Group Record#3: 'Member ID' must be numeric."}},
        {"member ID of four digits",
         {group(3, "N", {"0020"})},
         false,
         {"Group Record#3: 'Member ID' is too long (Max. 3 digits): 4 digits."}},
        {"member ID names a group",
         {group(3, "N", {"", "5"})},
         false,
         {"Group Record#3: 'Member ID 1' cannot refer to another group 5."}},
        {"sixteenth member ID out of range",
         {group(3, "N", members)},
         false,
         {"Group Record#3: 'Member ID 15' refers to an invalid record 400."}},
        {"member ID names the same contact twice",
         {group(3, "N", {"20", "20"}), contact(20, "", {{FirstName, "A"}})},
         true,
         {}},
        {"group year too big", {group(3, "N", {}, {"12345"})}, false, {"Group Record#3: 'Year' is too big."}},
        {"group year hexadecimal", {group(3, "N", {}, {"20a5"})}, false, {"Group Record#3: 'Year' must be numeric."}},
        {"group year zero-filled", {group(3, "N", {}, {"20x5"})}, true, {}},
        {"group month/day hexadecimal",
         {group(3, "N", {}, {"2004", "21b"})},
         false,
         {"Group Record#3: 'Month/Day' must be numeric."}},
        {"group month/day too big",
         {group(3, "N", {}, {"2004", "12345"})},
         false,
         {"Group Record#3: 'Month/Day' is too big."}},
        {"group hour/min hexadecimal",
         {group(3, "N", {}, {"2004", "541", "1f"})},
         false,
         {"Group Record#3: 'Hour/Min' is invalid."}},
        {"group hour/min too big",
         {group(3, "N", {}, {"2004", "541", "00000"})},
         false,
         {"Group Record#3: 'Hour/Min' is too big."}},
        {"group month/day out of range for its year",
         {group(3, "N", {}, {"2005", "541"})},
         false,
         {"Record#3: 'Day' timestamp is out of range (1-28)."}},
    });
}

TEST_F(AddressBookRules, Timestamps)
{
    auto dated = [](const std::string &year, const std::string &monthDay, const std::string &hourMin = "") {
        return contact(20, "", {{FirstName, "A"}, {Year, year}, {MonthDay, monthDay}, {HourMin, hourMin}});
    };
    expectCases({
        {"29 February 2004", {dated("2004", "541")}, true, {}},
        {"29 February 2000", {dated("2000", "541")}, true, {}},
        {"29 February 1900", {dated("1900", "541")}, false, {"Record#20: 'Day' timestamp is out of range (1-28)."}},
        {"29 February 2005", {dated("2005", "541")}, false, {"Record#20: 'Day' timestamp is out of range (1-28)."}},
        {"month 13", {dated("2005", "3329")}, false, {"Record#20: 'Month' timestamp is out of range (1-12)."}},
        {"day 0", {dated("2005", "256")}, false, {"Record#20: 'Day' timestamp is out of range (1-31)."}},
        {"31 April", {dated("2005", "1055")}, false, {"Record#20: 'Day' timestamp is out of range (1-30)."}},
        {"month 0 day 40",
         {dated("2005", "40")},
         false,
         {"Record#20: 'Month' timestamp is out of range (1-12).",
          "Record#20: 'Day' timestamp is out of range (1-31)."}},
        {"25 December 13:45", {dated("2005", "3097", "3373")}, true, {}},
        {"hour 24", {dated("2005", "0", "6144")}, false, {"Record#20: 'Hour' timestamp is out of range (0-23)."}},
        {"minute 60", {dated("2005", "0", "5948")}, false, {"Record#20: 'Minute' timestamp is out of range (0-59)."}},
        {"hour and minute",
         {dated("", "", "6204")},
         false,
         {"Record#20: 'Hour' timestamp is out of range (0-23).",
          "Record#20: 'Minute' timestamp is out of range (0-59)."}},
        {"year not numeric", {dated("20a5", "")}, false, {"Record#20: 'Year' must be numeric."}},
        {"year too big", {dated("20055", "")}, false, {"Record#20: 'Year' is too big."}},
        {"month/day not numeric", {dated("2005", "1c")}, false, {"Record#20: 'Month/Day' must be numeric."}},
        {"month/day too big", {dated("2005", "99999")}, false, {"Record#20: 'Month/Day' is too big."}},
        {"hour/min invalid", {dated("2005", "", "ff")}, false, {"Record#20: 'Hour/Min' is invalid."}},
        {"hour/min too big", {dated("2005", "", "12345")}, false, {"Record#20: 'Hour/Min' is too big."}},
        {"zero-filled", {dated("20x5", "--", "?")}, true, {}},
    });
}

TEST_F(AddressBookRules, LastYearOutlivesThePass)
{
    EXPECT_TRUE(run(readAddressBookFile, fileOf({group(1, "G", {}, {"2005"})})).ok);
    clearLog();
    // The bad Year is not taken, so 29 February is tested against 2005.
    EXPECT_FALSE(run(readAddressBookFile, fileOf({group(1, "G", {}, {"20a5", "541"})})).ok);
    EXPECT_EQ(loggedLines(),
              (Lines{"Group Record#1: 'Year' must be numeric.", "Record#1: 'Day' timestamp is out of range (1-28)."}));
}

TEST_F(AddressBookRules, AddressSelection)
{
    const std::string tooLong = "[WA,HE,WE,AE,HP,WP,MP,FX,W]";
    expectCases({
        {"codes in any case with spaces",
         {contact(20, "[wa, he]", {{WirelessAddress, "w"}, {HomeEmail, "h"}})},
         true,
         {}},
        {"separators not examined", {contact(20, "[WA;HE)", {{WirelessAddress, "w"}, {HomeEmail, "h"}})}, true, {}},
        {"empty list", {contact(20, "[]", {{FirstName, "A"}})}, true, {}},
        {"duplicate",
         {contact(20, "[WA,WA]")},
         false,
         {"Record#20: 'Address Selection' contains a duplicate value.",
          "Record#20: 'Address Selection' contains an invalid code."}},
        {"unclosed", {contact(20, "[WA")}, false, {"Record#20: 'Address Selection' contains an invalid code."}},
        {"unknown code", {contact(20, "[WA,XY]")}, false, {"Record#20: 'Address Selection' contains an invalid code."}},
        {"too long",
         {contact(20, tooLong)},
         false,
         {"Record#20: 'Address Selection' is too long. Check for invalid codes."}},
        {"single character",
         {contact(20, "W")},
         false,
         {"Record#20: 'Address Selection' must be correctly formed. (e.g. [WA])"}},
        {"decimal 255",
         {contact(20, "255",
                  {{WirelessAddress, "w"},
                   {HomeEmail, "h"},
                   {WorkEmail, "w"},
                   {AlternateEmail, "a"},
                   {HomePhone, "1"},
                   {WorkPhone, "2"},
                   {MobilePhone, "3"},
                   {FaxNumber, "4"}})},
         true,
         {}},
        {"decimal 256",
         {contact(20, "256")},
         false,
         {"Record#20: 'Address Selection' must a value be between 0 and 255."}},
        {"decimal 1000",
         {contact(20, "1000")},
         false,
         {"Record#20: 'Address Selection' must a value be between 0 and 255.",
          "Record#20: 'Address Selection' must a value be between 0 and 255."}},
        // Four digits fail on their length, yet the value still selects addresses.
        {"decimal 0255 still selects",
         {contact(20, "0255",
                  {{HomeEmail, "h"},
                   {WorkEmail, "w"},
                   {AlternateEmail, "a"},
                   {HomePhone, "1"},
                   {WorkPhone, "2"},
                   {MobilePhone, "3"},
                   {FaxNumber, "4"}})},
         false,
         {"Record#20: 'Address Selection' must a value be between 0 and 255.",
          "Record#20: Address selection 'WA' requires a valid Wireless Address."}},
        {"decimal 0001 still selects",
         {contact(20, "0001", {{Comment, "c"}})},
         false,
         {"Record#20: 'Address Selection' must a value be between 0 and 255.",
          "Record#20: Address selection 'WA' requires a valid Wireless Address."}},
    });
}

TEST_F(AddressBookRules, ContactFields)
{
    expectCases({
        {"usage 2", {contact(20, "", {{Usage, "2"}, {FirstName, "A"}})}, false, {"Record#20: 'Usage' must be 0 or 1."}},
        {"usage x", {contact(20, "", {{Usage, "x"}, {FirstName, "A"}})}, false, {"Record#20: 'Usage' must be 0 or 1."}},
        {"line ends before usage", {"20\t[WA]"}, false, {"Record#20: Missing 'Usage'."}},
        {"line of a number only", {"20"}, false, {"Record#20: Missing 'Usage'."}},
        {"line ends after usage", {"20\t[WA]\t1"}, true, {}},
        {"first name 15", {contact(20, "", {{FirstName, std::string(15, 'f')}})}, true, {}},
        {"first name 16",
         {contact(20, "", {{FirstName, std::string(16, 'f')}})},
         false,
         {"Record#20: 'First Name' is too long (Max. 15 chars.): 16 chars."}},
        {"last name and title",
         {contact(20, "", {{LastName, std::string(21, 'l')}, {Title, std::string(22, 't')}})},
         false,
         {"Record#20: 'Last Name' is too long (Max. 20 chars.): 21 chars.",
          "Record#20: 'Title' is too long (Max. 20 chars.): 22 chars."}},
        {"wireless address required",
         {contact(20, "[WA]", {{Comment, "c"}})},
         false,
         {"Record#20: Address selection 'WA' requires a valid Wireless Address."}},
        {"emails",
         {contact(20, "[HE,WE,AE]", {{HomeEmail, std::string(66, 'h')}, {Comment, "c"}})},
         false,
         {"Record#20: 'Home Email' is too long (Max. 65 chars.): 66 chars.",
          "Record#20: Address selection 'WE' requires a valid Work Email address.",
          "Record#20: Address selection 'AE' requires a valid Alternate Email address."}},
        {"phone characters", {contact(20, "", {{HomePhone, "(555) 12-3x4X"}, {FaxNumber, "555-1234"}})}, true, {}},
        {"phone with a full stop",
         {contact(20, "", {{WorkPhone, "555.1234"}})},
         false,
         {"Record#20: 'Work Phone' contains an invalid character."}},
        {"phone: all three tests",
         {contact(20, "[HP,MP,FX]", {{MobilePhone, "1234567890123456."}, {Company, "c"}})},
         false,
         {"Record#20: Address selection 'HP' requires a valid Home Phone number.",
          "Record#20: 'Mobile Phone' contains an invalid character.",
          "Record#20: 'Mobile Phone' is too long (Max. 15 digits): 17 digits.",
          "Record#20: Address selection 'FX' requires a valid Fax number."}},
        {"work phone 20 and 21",
         {contact(20, "[WP]", {{WorkPhone, std::string(21, '1')}})},
         false,
         {"Record#20: 'Work Phone' is too long (Max. 20 digits): 21 digits."}},
        {"home phone limit",
         {contact(20, "", {{HomePhone, std::string(16, '1')}, {FaxNumber, std::string(16, '2')}})},
         false,
         {"Record#20: 'Home Phone' is too long (Max. 15 digits): 16 digits.",
          "Record#20: 'Fax Number' is too long (Max. 15 digits): 16 digits."}},
        {"plain fields",
         {contact(20, "",
                  {{Company, std::string(21, 'c')},
                   {Address, std::string(51, 'a')},
                   {City, std::string(21, 'c')},
                   {State, std::string(11, 's')},
                   {Zip, std::string(11, 'z')},
                   {Country, std::string(16, 'c')},
                   {Comment, std::string(78, 'c')}})},
         false,
         {"Record#20: 'Company' is too long (Max. 20 chars.): 21 chars.",
          "Record#20: 'Address' is too long (Max. 50 chars.): 51 chars.",
          "Record#20: 'City' is too long (Max. 20 chars.): 21 chars.",
          "Record#20: 'State/Prov.' is too long (Max. 10 chars.): 11 chars.",
          "Record#20: 'Zip/Postal Code' is too long (Max. 10 chars.): 11 chars.",
          "Record#20: 'Country' is too long (Max. 15 chars.): 16 chars.",
          "Record#20: 'Comment' is too long (Max. 77 chars.): 78 chars."}},
        {"comment of 77", {contact(20, "", {{Comment, std::string(77, 'c')}})}, true, {}},
        {"no valid fields", {contact(20, "[]", {{Usage, ""}}) + "\tafter"}, false, {"Record#20, No valid Fields."}},
    });
}

TEST_F(AddressBookRules, GroupMembersMustComeFirst)
{
    expectCases({
        {"group before contact", {group(0, "G", {"20"}), contact(20, "", {{FirstName, "A"}})}, true, {}},
        {"contact before group",
         {contact(20, "", {{FirstName, "A"}}), group(0, "G", {"20"})},
         false,
         {"Group Record#0: Member ID refers to a non-existent record number 20."}},
        {"empty trailing fields are not tested", {contact(20, "[WA]", {{FirstName, "A"}})}, true, {}},
    });
}

TEST_F(AddressBookRules, DanglingMembersInGroupOrder)
{
    EXPECT_FALSE(run(readAddressBookFile, fileOf({group(2, "G", {"30"}), group(4, "H", {"", "30", "25"})})).ok);
    EXPECT_EQ(loggedLines(), (Lines{"Group Record#4: Member ID refers to a non-existent record number 25.",
                                    "Group Record#2: Member ID refers to a non-existent record number 30.",
                                    "Group Record#4: Member ID refers to a non-existent record number 30."}));
}

TEST_F(AddressBookRules, ManyMentionsOfOneContactDoNotOverflow)
{
    Lines lines;
    for (int g = 0; g < 15; ++g)
        lines.push_back(group(g, "G", std::vector<std::string>(16, "99")));
    EXPECT_FALSE(run(readAddressBookFile, fileOf(lines)).ok);
    EXPECT_EQ(loggedLines().size(), 15u); // one line per remembered mention
    clearLog();
    lines.push_back(contact(99, "", {{FirstName, "A"}}));
    EXPECT_TRUE(run(readAddressBookFile, fileOf(lines)).ok) << logged();
}

TEST_F(AddressBookRules, ContactNamedByAnEarlierGroupAndALaterOne)
{
    // Group 0 is satisfied by contact 20; only the later group 1 is reported.
    EXPECT_FALSE(run(readAddressBookFile,
                     fileOf({group(0, "G", {"20"}), contact(20, "", {{FirstName, "A"}}), group(1, "H", {"20"})}))
                     .ok);
    EXPECT_EQ(loggedLines(), Lines{"Group Record#1: Member ID refers to a non-existent record number 20."});
}

TEST_F(AddressBookRules, CapacityReportedByTheDevice)
{
    addressBook.capacity = 100;
    expectCases({
        {"116 is the highest", {contact(116, "", {{FirstName, "A"}})}, true, {}},
        {"117 is over",
         {contact(117, "", {{FirstName, "A"}})},
         false,
         {"Record ID (117)(for both groups and contacts) exceeds maximum allowed(Max. 116)."}},
    });
    addressBook.capacity = 2;
    expectCases({
        {"third contact",
         {contact(16, "[]", {{FirstName, "A"}}), contact(17, "[]", {{FirstName, "B"}}),
          contact(18, "[]", {{FirstName, "C"}})},
         false,
         {"Number of contacts (3) exceeds the maximum allowed: (2) in the device."}},
    });
    EXPECT_EQ(addressBook.recordCount, 3);
}

TEST_F(AddressBookRules, FirstFailingRecordEndsThePass)
{
    const PassResult result = run(readAddressBookFile, fileOf({contact(20, "", {{Usage, "5"}, {FirstName, "A"}}),
                                                               contact(21, "", {{Usage, "6"}, {FirstName, "B"}})}));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(loggedLines(), Lines{"Record#20: 'Usage' must be 0 or 1."});
    EXPECT_EQ(result.output.find("21\t"), std::string::npos);
}

} // namespace
} // namespace q57::test
