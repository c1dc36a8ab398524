// SPDX-License-Identifier: MIT
// The rules' findings on the editor's cells: which record and field each
// message a restore would log belongs to.
#include "preview/AddressBookFindings.h"

#include "formats/tests/AddressBookBuilders.h"

#include <gtest/gtest.h>

namespace q57::preview::test {
namespace {

using q57::test::contact;

const std::string CleanGroup = "0\t1\tFamily\t20\r\n";
const std::string CleanContact =
    contact(
        20, "\"[WA,HE]\"",
        {{q57::test::FirstName, "Ann"}, {q57::test::WirelessAddress, "ann@q57"}, {q57::test::HomeEmail, "ann@home"}}) +
    "\r\n";

std::vector<Finding> findingsOf(const std::string &file)
{
    return findProblems(AddressBookDocument::fromFileText(file));
}

TEST(AddressBookFindings, ACleanBookHasNone)
{
    EXPECT_TRUE(findingsOf(CleanGroup + CleanContact).empty());
    EXPECT_TRUE(findingsOf("").empty());
}

TEST(AddressBookFindings, EachFindingSitsOnTheFieldItIsAbout)
{
    const struct {
        const char *name;
        std::string extra; // a record line after the clean book
        size_t field;
        std::string message;
    } cases[] = {
        {"name too long", contact(21, "[]", {{q57::test::FirstName, std::string(16, 'x')}}), 3,
         "Record#21: 'First Name' is too long (Max. 15 chars.): 16 chars."},
        // A restore only checks the fields before the line ends, hence the Company.
        {"selection needs its address", contact(21, "[HP]", {{q57::test::Company, "Bo"}}), 10,
         "Record#21: Address selection 'HP' requires a valid Home Phone number."},
        {"phone character", contact(21, "[]", {{q57::test::WorkPhone, "555.1"}}), 11,
         "Record#21: 'Work Phone' contains an invalid character."},
        {"bad selection code", contact(21, "[ZZ]", {{q57::test::FirstName, "Bo"}}), 1,
         "Record#21: 'Address Selection' contains an invalid code."},
        {"contact usage", contact(21, "[]", {{q57::test::Usage, "2"}, {q57::test::FirstName, "Bo"}}), 2,
         "Record#21: 'Usage' must be 0 or 1."},
        {"leap day in a common year", contact(21, "[]", {{q57::test::Year, "2005"}, {q57::test::MonthDay, "541"}}), 22,
         "Record#21: 'Day' timestamp is out of range (1-28)."},
        {"hour", contact(21, "[]", {{q57::test::FirstName, "Bo"}, {q57::test::HourMin, "6144"}}), 23,
         "Record#21: 'Hour' timestamp is out of range (0-23)."},
        {"duplicate number", contact(20, "[]", {{q57::test::FirstName, "Bo"}}), 0, "Record#20 is a duplicate record."},
        // Only a field after Hour/Min keeps an empty record's line that long.
        {"no valid fields", contact(21, "[]", {{q57::test::Usage, ""}}) + "\tafter", 0, "Record#21, No valid Fields."},
        {"missing usage", "21\t[]", 2, "Record#21: Missing 'Usage'."},
        {"group name too long", "1\t1\t" + std::string(21, 'g'), 2,
         "Group Record#1: 'Name' is too long (Max. 20 chars.): 21 chars."},
        {"member names a group", "1\t1\tFriends\t\t5", 4,
         "Group Record#1: 'Member ID 1' cannot refer to another group 5."},
        {"group number out of range", "15\t1\tX", 0, "Group record#15 is out of range (0 to 14)."},
        {"invalid record number", "abc\t1\tX", 0, "Invalid record number (abc) after record: 20. [Check file format]"},
    };
    for (const auto &c : cases) {
        const std::vector<Finding> findings = findingsOf(CleanGroup + CleanContact + c.extra + "\r\n");
        ASSERT_EQ(findings.size(), 1u) << c.name;
        EXPECT_EQ(findings[0].record, 2u) << c.name;
        EXPECT_EQ(findings[0].field, c.field) << c.name;
        EXPECT_EQ(findings[0].message, c.message) << c.name;
    }
}

TEST(AddressBookFindings, TheRulesGoOnPastAFailingRecordAndEndWithTheDanglingMembers)
{
    const std::vector<Finding> findings = findingsOf(
        contact(30, "[]", {{q57::test::FirstName, std::string(16, 'a')}}) + "\r\n" + CleanContact +
        "3\t1\tLate\t20\t31\r\n" + contact(32, "[]", {{q57::test::LastName, std::string(21, 'b')}}) + "\r\n");
    ASSERT_EQ(findings.size(), 4u);
    EXPECT_EQ(findings[0].record, 0u);
    EXPECT_EQ(findings[1].record, 3u);
    EXPECT_EQ(findings[1].field, 4u);
    // The group comes after contact 20, and contact 31 never comes.
    EXPECT_EQ(findings[2].message, "Group Record#3: Member ID refers to a non-existent record number 20.");
    EXPECT_EQ(findings[3].message, "Group Record#3: Member ID refers to a non-existent record number 31.");
    EXPECT_EQ(findings[3].record, 2u);
    EXPECT_EQ(findings[3].field, 0u);
}

} // namespace
} // namespace q57::preview::test
