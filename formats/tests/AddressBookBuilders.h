// SPDX-License-Identifier: MIT
#pragma once
// Address book lines for tests, built field by field.

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace q57::test {

// File-form field positions of a contact line.
enum ContactField : size_t {
    Number,
    Selection,
    Usage,
    FirstName,
    LastName,
    Title,
    WirelessAddress,
    HomeEmail,
    WorkEmail,
    AlternateEmail,
    HomePhone,
    WorkPhone,
    MobilePhone,
    FaxNumber,
    Company,
    Address,
    City,
    State,
    Zip,
    Country,
    Comment,
    Year,
    MonthDay,
    HourMin,
    ContactFieldCount
};

inline std::string joinFields(const std::vector<std::string> &fields)
{
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i)
        line += (i ? "\t" : "") + fields[i];
    return line;
}

// A contact line with Usage 1 and the given fields set; the rest empty.
inline std::string contact(int number, const std::string &selection,
                           std::initializer_list<std::pair<ContactField, std::string>> set = {})
{
    std::vector<std::string> fields(ContactFieldCount);
    fields[Number] = std::to_string(number);
    fields[Selection] = selection;
    // A string, not the literal: assigning "1" here trips g++ 12's false
    // -Wrestrict report at -O3.
    fields[Usage] = std::string("1");
    for (const auto &[field, value] : set)
        fields[field] = value;
    return joinFields(fields);
}

// A group line: number, Usage 1, name, the member IDs, then the timestamps when given.
inline std::string group(int number, const std::string &name, std::vector<std::string> members = {},
                         std::vector<std::string> timestamps = {})
{
    std::vector<std::string> fields{std::to_string(number), "1", name};
    if (!timestamps.empty())
        members.resize(16);
    fields.insert(fields.end(), members.begin(), members.end());
    fields.insert(fields.end(), timestamps.begin(), timestamps.end());
    return joinFields(fields);
}

// Lines ended by CR LF.
inline std::string fileOf(const std::vector<std::string> &lines)
{
    std::string file;
    for (const std::string &line : lines)
        file += line + "\r\n";
    return file;
}

} // namespace q57::test
