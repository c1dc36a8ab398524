// SPDX-License-Identifier: MIT
#include "preview/RecordColumns.h"

#include "formats/AddressSelection.h"

#include <array>

namespace q57::preview {

namespace {

constexpr size_t SelectionColumns = 8;

const std::array<const char *, 22> ContactTextFields = {
    "Usage",        "First Name",      "Last Name",       "Title",      "Wireless Address",
    "Home Email",   "Work Email",      "Alternate Email", "Home Phone", "Work Phone",
    "Mobile Phone", "Fax Number",      "Company",         "Address",    "City",
    "State/Prov.",  "Zip/Postal Code", "Country",         "Comment",    "Year",
    "Month/Day",    "Hour/Min"};

ColumnKind timestampKind(const std::string &name)
{
    if (name == "Year")
        return ColumnKind::Year;
    if (name == "Month/Day")
        return ColumnKind::MonthDay;
    return name == "Hour/Min" ? ColumnKind::HourMinute : ColumnKind::Text;
}

Column groupColumn(size_t index)
{
    if (index == 0)
        return {ColumnKind::Number, 0, "Record Number"};
    if (index == 1)
        return {ColumnKind::Text, 1, "Usage"};
    if (index == 2)
        return {ColumnKind::Text, 2, "Name"};
    const size_t member = index - AddressBookDocument::FirstMemberField;
    if (member < AddressBookDocument::MemberFieldCount)
        return {ColumnKind::Member, index, "Member ID " + std::to_string(member)};
    const std::array<const char *, 3> stamps = {"Year", "Month/Day", "Hour/Min"};
    const std::string name =
        stamps[index - AddressBookDocument::FirstMemberField - AddressBookDocument::MemberFieldCount];
    return {timestampKind(name), index, name};
}

Column contactColumn(size_t index)
{
    if (index == 0)
        return {ColumnKind::Number, 0, "Record Number"};
    if (index <= SelectionColumns) {
        const SelectionCode &code = SelectionCodes[index - 1];
        return {ColumnKind::Selection, AddressBookDocument::SelectionField, code.code, code.bit};
    }
    const std::string name = ContactTextFields[index - SelectionColumns - 1];
    return {timestampKind(name), index - SelectionColumns + 1, name};
}

} // namespace

size_t columnCount(RecordKind kind)
{
    return kind == RecordKind::Group ? AddressBookDocument::GroupFieldCount
                                     : AddressBookDocument::ContactFieldCount - 1 + SelectionColumns;
}

Column column(RecordKind kind, size_t index)
{
    return kind == RecordKind::Group ? groupColumn(index) : contactColumn(index);
}

size_t columnOfField(RecordKind kind, size_t field)
{
    if (kind == RecordKind::Group || field <= AddressBookDocument::SelectionField)
        return field;
    return field + SelectionColumns - 1;
}

} // namespace q57::preview
