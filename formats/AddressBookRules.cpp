// SPDX-License-Identifier: MIT
#include "formats/AddressBookRules.h"

#include "app/StatusLog.h"
#include "formats/AddressBookFields.h"
#include "formats/AddressBookLimits.h"
#include "formats/AddressSelection.h"
#include "formats/FormatContext.h"

#include <algorithm>
#include <array>

namespace q57 {

namespace {

using Limits = AddressBookLimits;

constexpr size_t RecordNumberLength = 10;
constexpr size_t GroupNameLimit = 20;
constexpr size_t MemberIdDigits = 3;
constexpr size_t TimestampDigits = 4;

// The limits of a contact's text fields, in the order they follow Usage.
struct ContactFieldRule {
    const char *tooLong; // with the record number and the length
    size_t limit;
    uint8_t selectionBit = 0;               // address fields: the selection that needs them
    const char *required = nullptr;         // logged when that selection is set and the field is empty
    const char *invalidCharacter = nullptr; // phone fields only
};

const std::array<ContactFieldRule, 18> ContactFieldRules = {{
    {"Record#%ld: 'First Name' is too long (Max. 15 chars.): %ld chars.\n", 15},
    {"Record#%ld: 'Last Name' is too long (Max. 20 chars.): %ld chars.\n", 20},
    {"Record#%ld: 'Title' is too long (Max. 20 chars.): %ld chars.\n", 20},
    {"Record#%ld: 'Wireless Address' is too long (Max. 65 chars.): %ld chars.\n", 65, 0x01,
     "Record#%ld: Address selection 'WA' requires a valid Wireless Address.\n"},
    {"Record#%ld: 'Home Email' is too long (Max. 65 chars.): %ld chars.\n", 65, 0x02,
     "Record#%ld: Address selection 'HE' requires a valid Home Email address.\n"},
    {"Record#%ld: 'Work Email' is too long (Max. 65 chars.): %ld chars.\n", 65, 0x04,
     "Record#%ld: Address selection 'WE' requires a valid Work Email address.\n"},
    {"Record#%ld: 'Alternate Email' is too long (Max. 65 chars.): %ld chars.\n", 65, 0x08,
     "Record#%ld: Address selection 'AE' requires a valid Alternate Email address.\n"},
    {"Record#%ld: 'Home Phone' is too long (Max. 15 digits): %ld digits.\n", 15, 0x10,
     "Record#%ld: Address selection 'HP' requires a valid Home Phone number.\n",
     "Record#%ld: 'Home Phone' contains an invalid character.\n"},
    {"Record#%ld: 'Work Phone' is too long (Max. 20 digits): %ld digits.\n", 20, 0x20,
     "Record#%ld: Address selection 'WP' requires a valid Work Phone number.\n",
     "Record#%ld: 'Work Phone' contains an invalid character.\n"},
    {"Record#%ld: 'Mobile Phone' is too long (Max. 15 digits): %ld digits.\n", 15, 0x40,
     "Record#%ld: Address selection 'MP' requires a valid Mobile Phone number.\n",
     "Record#%ld: 'Mobile Phone' contains an invalid character.\n"},
    {"Record#%ld: 'Fax Number' is too long (Max. 15 digits): %ld digits.\n", 15, 0x80,
     "Record#%ld: Address selection 'FX' requires a valid Fax number.\n",
     "Record#%ld: 'Fax Number' contains an invalid character.\n"},
    {"Record#%ld: 'Company' is too long (Max. 20 chars.): %ld chars.\n", 20},
    {"Record#%ld: 'Address' is too long (Max. 50 chars.): %ld chars.\n", 50},
    {"Record#%ld: 'City' is too long (Max. 20 chars.): %ld chars.\n", 20},
    {"Record#%ld: 'State/Prov.' is too long (Max. 10 chars.): %ld chars.\n", 10},
    {"Record#%ld: 'Zip/Postal Code' is too long (Max. 10 chars.): %ld chars.\n", 10},
    {"Record#%ld: 'Country' is too long (Max. 15 chars.): %ld chars.\n", 15},
    {"Record#%ld: 'Comment' is too long (Max. 77 chars.): %ld chars.\n", 77},
}};

// Field positions in the file line, as the finding observer hears them.
constexpr size_t RecordNumberField = 0;
constexpr size_t GroupNameField = 2;

// Field positions of a contact line once the membership field is in place
// (Usage is the same in the file line).
constexpr size_t UsageField = 2;
constexpr size_t MembershipField = 3;
constexpr size_t HourMinuteField = MembershipField + ContactFieldRules.size() + 3;

struct TimestampKind {
    const char *name;
    const char *notDigits;
};

constexpr TimestampKind Year{"Year", "must be numeric"};
constexpr TimestampKind MonthDay{"Month/Day", "must be numeric"};
constexpr TimestampKind HourMinute{"Hour/Min", "is invalid"};

bool isPhoneCharacter(char c)
{
    return (c >= '0' && c <= '9') || c == '(' || c == ')' || c == '-' || c == ' ' || c == 'x' || c == 'X';
}

// The "not numeric" and "too big" tests of a timestamp field, once zero-filled.
bool timestampFormatOk(StatusLog &log, const char *prefix, long number, const TimestampKind &kind, std::string &field)
{
    zeroFillTimestamp(field);
    if (!allDigits(field)) {
        log.log("%s%ld: '%s' %s.\n", prefix, number, kind.name, kind.notDigits);
        return false;
    }
    if (field.size() > TimestampDigits) {
        log.log("%s%ld: '%s' is too big.\n", prefix, number, kind.name);
        return false;
    }
    return true;
}

} // namespace

// Walks the fields of one record line after the record number, telling the
// finding observer which field of the file line it hands out.
class AddressBookRules::FieldWalk {
public:
    FieldWalk(std::vector<std::string> &fields, const AddressBookRules &rules, long number)
        : fields_(fields), rules_(rules), number_(number)
    {
    }
    bool more() const { return next_ < fields_.size(); }
    std::string &take()
    {
        rules_.aboutField(number_, next_ - inserted_);
        return fields_[next_++];
    }
    // Puts a new field at the walk's position and steps over it.
    void insert(std::string field)
    {
        fields_.insert(fields_.begin() + static_cast<std::ptrdiff_t>(next_), std::move(field));
        ++next_;
        ++inserted_;
    }
    size_t position() const { return next_; }

private:
    std::vector<std::string> &fields_;
    const AddressBookRules &rules_;
    long number_;
    size_t next_ = 1;
    size_t inserted_ = 0; // fields that the file line does not hold
};

AddressBookRules::AddressBookRules(FormatContext &context)
    : context_(context), tables_(context.addressBookTables), log_(context.log)
{
}

void AddressBookRules::aboutField(long number, size_t field) const
{
    if (context_.findingObserver)
        context_.findingObserver(number, field);
}

bool AddressBookRules::checkRecordNumber(const std::vector<std::string> &fields, uint32_t &number, bool &passed)
{
    const std::string text(nextField(fields.front(), RecordNumberLength));
    const long last = static_cast<long>(tables_.lastRecordNumber);
    aboutField(static_cast<long>(parseDecimal(text)), RecordNumberField);
    if (text.empty()) {
        log_.log("Missing record number after record: %ld.\n", last);
        return false;
    }
    number = parseDecimal(text);
    if (number == 0 && text.front() != '0') {
        log_.log("Invalid record number (%s) after record: %ld. [Check file format]\n", text.c_str(), last);
        return false;
    }
    tables_.lastRecordNumber = number;
    if (number >= Limits::RecordLimit) {
        log_.log("Record #%d is an invalid record number.\n", static_cast<int>(number));
        log_.log("Valid record numbers are between 1 and %d.\n", Limits::RecordLimit - 1);
        return false;
    }
    if (tables_.seenRecords[number]) {
        log_.log("Record#%02d is a duplicate record.\n", static_cast<int>(number));
        passed = false;
    }
    tables_.seenRecords[number] = true;
    return true;
}

// ---- Group records ------------------------------------------------------

bool AddressBookRules::checkGroupRecord(uint32_t groupNumber, std::vector<std::string> &fields)
{
    const long number = static_cast<long>(groupNumber);
    aboutField(number, RecordNumberField);
    if (++tables_.groupCount > Limits::GroupLimit) {
        log_.log("Number of groups exceeds the maximum allowed in the device (Max. 15 groups): %ld\n",
                 static_cast<long>(tables_.groupCount));
        return false;
    }
    if (groupNumber >= Limits::GroupLimit) {
        log_.log("Group record#%ld is out of range (0 to 14).\n", number);
        return false;
    }
    FieldWalk walk(fields, *this, number);
    if (!walk.more()) {
        aboutField(number, GroupNameField);
        log_.log("Group Record#%ld: Missing name.\n", number);
        return true;
    }
    bool passed = checkGroupUsage(number, walk.take());
    if (!walk.more()) {
        aboutField(number, GroupNameField);
        log_.log("Group Record#%ld: Missing name.\n", number);
        return passed;
    }
    const std::string &name = walk.take();
    if (name.size() > GroupNameLimit) {
        log_.log("Group Record#%ld: 'Name' is too long (Max. 20 chars.): %ld chars.\n", number,
                 static_cast<long>(name.size()));
        passed = false;
    }
    for (long index = 0; index < Limits::MembersPerGroup && walk.more(); ++index)
        passed = checkMemberId(number, index, walk.take()) && passed;
    return checkTimestamps(walk, "Group Record#", number) && passed;
}

bool AddressBookRules::checkGroupUsage(long number, const std::string &usage)
{
    if (!allDigits(usage) || usage.size() > 1) {
        log_.log("Group Record#%ld: 'Usage' must be 0 or 1.\n", number);
        return false;
    }
    const uint32_t value = parseDecimal(usage);
    if (value > 1) {
        log_.log("Group Record#%ld: 'Usage' must be 0 or 1. (%ld)\n", number, static_cast<long>(value));
        return false;
    }
    return true;
}

bool AddressBookRules::checkMemberId(long number, long index, const std::string &field)
{
    if (!allDigits(field)) {
        log_.log("Group Record#%ld: 'Member ID' must be numeric.\n", number);
        return false;
    }
    if (field.size() > MemberIdDigits) {
        log_.log("Group Record#%ld: 'Member ID' is too long (Max. 3 digits): %ld digits.\n", number,
                 static_cast<long>(field.size()));
        return false;
    }
    const uint32_t value = parseDecimal(field);
    tables_.groupMembers[static_cast<size_t>(number)][static_cast<size_t>(index)] = static_cast<uint16_t>(value);
    if (field.empty())
        return true;
    if (value < Limits::FirstContact) {
        log_.log("Group Record#%ld: 'Member ID %ld' cannot refer to another group %ld.\n", number, index,
                 static_cast<long>(value));
        return false;
    }
    if (value >= Limits::RecordLimit) {
        log_.log("Group Record#%ld: 'Member ID %ld' refers to an invalid record %ld.\n", number, index,
                 static_cast<long>(value));
        return false;
    }
    auto &reference = tables_.pendingReferences[value - Limits::FirstContact];
    reference.pending = true;
    if (reference.groupCount < reference.groups.size()) // a longer list adds nothing new to report
        reference.groups[reference.groupCount++] = static_cast<uint8_t>(number);
    return true;
}

bool AddressBookRules::checkTimestamps(FieldWalk &walk, const char *prefix, long number)
{
    if (!walk.more())
        return true;
    std::string &year = walk.take();
    bool passed = timestampFormatOk(log_, prefix, number, Year, year);
    if (passed)
        tables_.lastYear = static_cast<uint16_t>(parseDecimal(year));
    if (!walk.more())
        return passed;
    std::string &monthDay = walk.take();
    if (!timestampFormatOk(log_, prefix, number, MonthDay, monthDay))
        passed = false;
    else if (!checkMonthDay(log_, number, parseDecimal(monthDay), tables_.lastYear))
        passed = false;
    if (!walk.more())
        return passed;
    std::string &hourMinute = walk.take();
    if (!timestampFormatOk(log_, prefix, number, HourMinute, hourMinute))
        passed = false;
    else if (!checkHourMinute(log_, number, parseDecimal(hourMinute)))
        passed = false;
    return passed;
}

// ---- Contact records ----------------------------------------------------

bool AddressBookRules::checkContactRecord(uint32_t contactNumber, std::vector<std::string> &fields)
{
    const long number = static_cast<long>(contactNumber);
    aboutField(number, RecordNumberField);
    if (tables_.contactOrderLength < tables_.contactOrder.size())
        tables_.contactOrder[tables_.contactOrderLength++] = static_cast<uint16_t>(contactNumber);
    bool passed = countContact(contactNumber);
    DataItem &item = context_.addressBook;
    item.highestRecordId = std::max<uint16_t>(item.highestRecordId, static_cast<uint16_t>(contactNumber));

    FieldWalk walk(fields, *this, number);
    bool selectionCounts = false;
    if (walk.more()) {
        std::string &selection = walk.take();
        selectionCounts = selection.size() >= 4;
        passed = checkSelection(number, selection) && passed;
    }
    if (!walk.more()) {
        // Without Usage there is no place for the membership field.
        aboutField(number, UsageField);
        log_.log("Record#%ld: Missing 'Usage'.\n", number);
        passed = false;
    } else {
        passed = checkContactUsage(number, walk.take()) && passed;
        walk.insert(writeDecimal(groupMembership(contactNumber)));
        passed = checkContactFields(number, walk) && passed;
        if (walk.position() > HourMinuteField && !hasContent(fields, selectionCounts)) {
            aboutField(number, RecordNumberField);
            log_.log("Record#%ld, No valid Fields.\n", number);
            passed = false;
        }
    }
    // The contact exists now; only a group read later can name it again.
    tables_.pendingReferences[contactNumber - Limits::FirstContact] = {};
    return passed;
}

bool AddressBookRules::countContact(uint32_t number)
{
    DataItem &item = context_.addressBook;
    const long capacity = item.capacity;
    if (capacity == 0) {
        ++item.recordCount;
        return true;
    }
    if (static_cast<long>(number) > capacity + Limits::FirstContact) {
        log_.log("Record ID (%ld)(for both groups and contacts) exceeds maximum allowed(Max. %ld).\n",
                 static_cast<long>(number), capacity + Limits::FirstContact);
        return false;
    }
    ++item.recordCount;
    if (item.recordCount <= capacity)
        return true;
    if (!tables_.overflowReported) {
        log_.log("Number of contacts (%ld) exceeds the maximum allowed: (%ld) in the device.\n",
                 static_cast<long>(item.recordCount), capacity);
        tables_.overflowReported = true;
    }
    return false;
}

bool AddressBookRules::checkSelection(long number, std::string &field)
{
    uint8_t &selection = tables_.selectionByRecord[static_cast<size_t>(number)];
    if (allDigits(field)) {
        // The length and the value are tested apart: "0255" fails on its length
        // but still selects every address, so the addresses it needs are checked.
        bool passed = true;
        if (field.size() > 3) {
            log_.log("Record#%ld: 'Address Selection' must a value be between 0 and 255.\n", number);
            passed = false;
        }
        const uint32_t value = parseDecimal(field);
        if (value > 255) {
            log_.log("Record#%ld: 'Address Selection' must a value be between 0 and 255.\n", number);
            return false;
        }
        selection = static_cast<uint8_t>(value);
        return passed;
    }
    if (field.size() == 1) {
        log_.log("Record#%ld: 'Address Selection' must be correctly formed. (e.g. [WA])\n", number);
        selection = 0;
        return false;
    }
    const bool passed = parseAddressSelection(log_, number, field, selection);
    field = writeDecimal(selection);
    return passed;
}

bool AddressBookRules::checkContactUsage(long number, const std::string &usage)
{
    if (!allDigits(usage) || usage.size() > 1 || parseDecimal(usage) > 1) {
        log_.log("Record#%ld: 'Usage' must be 0 or 1.\n", number);
        return false;
    }
    return true;
}

bool AddressBookRules::checkContactFields(long number, FieldWalk &walk)
{
    const uint8_t selection = tables_.selectionByRecord[static_cast<size_t>(number)];
    bool passed = true;
    for (const ContactFieldRule &rule : ContactFieldRules) {
        if (!walk.more())
            return passed;
        const std::string &field = walk.take();
        if (rule.invalidCharacter && !std::all_of(field.begin(), field.end(), isPhoneCharacter)) {
            log_.log(rule.invalidCharacter, number);
            passed = false;
        }
        if (field.size() > rule.limit) {
            log_.log(rule.tooLong, number, static_cast<long>(field.size()));
            passed = false;
        }
        if (rule.required && field.empty() && (selection & rule.selectionBit)) {
            log_.log(rule.required, number);
            passed = false;
        }
    }
    return checkTimestamps(walk, "Record#", number) && passed;
}

uint16_t AddressBookRules::groupMembership(uint32_t number) const
{
    uint16_t membership = 0;
    for (size_t group = 0; group < Limits::GroupLimit; ++group) {
        const auto &members = tables_.groupMembers[group];
        if (std::find(members.begin(), members.end(), number) != members.end())
            membership |= static_cast<uint16_t>(1u << group);
    }
    return membership;
}

bool AddressBookRules::hasContent(const std::vector<std::string> &fields, bool selectionCounts)
{
    if (selectionCounts)
        return true;
    for (size_t i = UsageField; i <= HourMinuteField && i < fields.size(); ++i) {
        if (i != MembershipField && !fields[i].empty())
            return true;
    }
    return false;
}

// ---- End of file ----------------------------------------------------------

bool AddressBookRules::checkDanglingMembers()
{
    bool passed = true;
    for (size_t i = 0; i < tables_.pendingReferences.size(); ++i) {
        const auto &reference = tables_.pendingReferences[i];
        if (!reference.pending)
            continue;
        for (size_t g = 0; g < reference.groupCount; ++g) {
            aboutField(reference.groups[g], RecordNumberField);
            log_.log("Group Record#%ld: Member ID refers to a non-existent record number %ld.\n",
                     static_cast<long>(reference.groups[g]), static_cast<long>(i + Limits::FirstContact));
            passed = false;
        }
    }
    return passed;
}

// ---- Timestamp ranges -----------------------------------------------------

bool checkMonthDay(StatusLog &log, long number, uint32_t value, uint16_t year)
{
    if (value == 0)
        return true;
    const uint32_t month = value / 256;
    const uint32_t day = value % 256;
    bool passed = true;
    if (month < 1 || month > 12) {
        log.log("Record#%ld: 'Month' timestamp is out of range (1-12).\n", number);
        passed = false;
    }
    if (day < 1) {
        log.log("Record#%ld: 'Day' timestamp is out of range (1-31).\n", number);
        passed = false;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    long daysInMonth = 31;
    if (month == 4 || month == 6 || month == 9 || month == 11)
        daysInMonth = 30;
    else if (month == 2)
        daysInMonth = leap ? 29 : 28;
    if (day > static_cast<uint32_t>(daysInMonth)) {
        log.log("Record#%ld: 'Day' timestamp is out of range (1-%ld).\n", number, daysInMonth);
        passed = false;
    }
    return passed;
}

bool checkHourMinute(StatusLog &log, long number, uint32_t value)
{
    if (value == 0)
        return true;
    bool passed = true;
    if (value / 256 > 23) {
        log.log("Record#%ld: 'Hour' timestamp is out of range (0-23).\n", number);
        passed = false;
    }
    if (value % 256 > 59) {
        log.log("Record#%ld: 'Minute' timestamp is out of range (0-59).\n", number);
        passed = false;
    }
    return passed;
}

} // namespace q57
