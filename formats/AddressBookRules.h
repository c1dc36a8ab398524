// SPDX-License-Identifier: MIT
#pragma once
// The checks that every record line of an address book file passes before the
// file may reach the device: the record number (present, numeric, in range, not
// a duplicate), group records (how many, which numbers, usage, name, member IDs,
// timestamps), contact records (capacity, address selection, usage, field
// lengths and characters, the addresses a selection needs, timestamps, some
// content at all), group members that no contact line ever answers, and the
// month/day and hour/minute ranges. Findings go to the status log, one line each.
//
// The record's fields are rewritten where the device form differs from the file
// form: the address selection as a decimal mask, the group membership field
// after Usage, timestamps that are not hexadecimal zero-filled.

#include <cstdint>
#include <string>
#include <vector>

namespace q57 {

struct FormatContext;
struct AddressBookTables;
class StatusLog;

class AddressBookRules {
public:
    explicit AddressBookRules(FormatContext &context);

    // The record number is present, numeric, below the record limit and not seen
    // before. False when the record stops and is not written; `passed` is
    // cleared when a check failed but the record goes on (a duplicate).
    bool checkRecordNumber(const std::vector<std::string> &fields, uint32_t &number, bool &passed);
    // The rules of a group record (a record number below 16).
    bool checkGroupRecord(uint32_t number, std::vector<std::string> &fields);
    // The rules of a contact record (a record number from 16).
    bool checkContactRecord(uint32_t number, std::vector<std::string> &fields);
    // Every member ID that names a contact no later contact line answered, at the
    // end of a file whose records all passed.
    bool checkDanglingMembers();

private:
    class FieldWalk;

    // Tells the context's finding observer which field the next findings are about.
    void aboutField(long number, size_t field) const;

    bool checkGroupUsage(long number, const std::string &usage);
    bool checkMemberId(long number, long index, const std::string &field);
    bool checkTimestamps(FieldWalk &walk, const char *recordPrefix, long number);
    bool countContact(uint32_t number);
    bool checkSelection(long number, std::string &field);
    bool checkContactUsage(long number, const std::string &usage);
    bool checkContactFields(long number, FieldWalk &walk);
    uint16_t groupMembership(uint32_t number) const;
    static bool hasContent(const std::vector<std::string> &fields, bool selectionCounts);

    FormatContext &context_;
    AddressBookTables &tables_;
    StatusLog &log_;
};

// 0, or month (high byte) 1 to 12 and day (low byte) within the month, with
// February's length taken from `year`.
bool checkMonthDay(StatusLog &log, long number, uint32_t value, uint16_t year);
// 0, or hour (high byte) 0 to 23 and minute (low byte) 0 to 59.
bool checkHourMinute(StatusLog &log, long number, uint32_t value);

} // namespace q57
