#pragma once
// The checks that every record line of an address book file passes before the
// file may reach the device: the record number (R1 to R4), group records (G0 to
// G6), contact records (C0 to C10), members named but never read (E1) and the
// timestamp ranges (T1, T2). Findings go to the status log, one line each.
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

    // R1 to R4. False when the record stops and is not written; `passed` is
    // cleared when a rule failed but the record goes on (a duplicate).
    bool checkRecordNumber(const std::vector<std::string> &fields, uint32_t &number, bool &passed);
    // G0 to G6 for a record number below 16.
    bool checkGroupRecord(uint32_t number, std::vector<std::string> &fields);
    // C0 to C10 for a record number from 16.
    bool checkContactRecord(uint32_t number, std::vector<std::string> &fields);
    // E1, at the end of a file whose records all passed.
    bool checkDanglingMembers();

private:
    class FieldWalk;

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

// T1: 0, or month (high byte) 1 to 12 and day (low byte) within the month, with
// February's length taken from `year`.
bool checkMonthDay(StatusLog &log, long number, uint32_t value, uint16_t year);
// T2: 0, or hour (high byte) 0 to 23 and minute (low byte) 0 to 59.
bool checkHourMinute(StatusLog &log, long number, uint32_t value);

} // namespace q57
