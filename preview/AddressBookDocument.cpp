// SPDX-License-Identifier: MIT
#include "preview/AddressBookDocument.h"

#include "app/StatusLog.h"
#include "formats/AddressBookFields.h"
#include "formats/AddressBookFile.h"
#include "formats/AddressBookLineReader.h"
#include "formats/AddressSelection.h"
#include "preview/QuietFormatContext.h"

#include <algorithm>
#include <sstream>

namespace q57::preview {

namespace {

// Lines end in LF, CR LF or a lone CR, as the restore reads them.
std::vector<std::string> splitLines(const std::string &text)
{
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lines.push_back(std::move(line));
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

std::vector<std::string> splitFields(const std::string &line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

// The fields of a record line as the restore sees them (trailing TAB and ","
// gone, each field unquoted), padded to the number of fields the line showed,
// so that its trailing empty fields are written back.
std::optional<AddressBookRecord> readRecord(const std::string &line)
{
    const size_t kept = line.find_last_not_of("\t,");
    if (kept == std::string::npos)
        return std::nullopt;
    AddressBookRecord record;
    for (const std::string &field : splitFields(line.substr(0, kept + 1)))
        record.fields.push_back(unquoteField(field));
    const size_t shown = static_cast<size_t>(std::count(line.begin(), line.end(), '\t')) + 1;
    if (record.fields.size() < shown)
        record.fields.resize(shown);
    return record;
}

std::string joined(const std::vector<std::string> &fields)
{
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i)
        line += (i > 0 ? "\t" : "") + fields[i];
    return line;
}

// The selection parsed without anyone to tell about what is wrong with it.
uint8_t lenientSelection(const std::string &text)
{
    if (allDigits(text)) {
        const uint32_t value = parseDecimal(text);
        return value > 255 ? 0 : static_cast<uint8_t>(value);
    }
    StatusLog closed;
    uint8_t mask = 0;
    parseAddressSelection(closed, 0, text, mask);
    return mask;
}

std::string runPass(PassHandler pass, const std::string &input)
{
    QuietFormatContext quiet;
    std::istringstream in(input);
    std::ostringstream out;
    pass(quiet.context(), in, out);
    return out.str();
}

const std::string NoField;

} // namespace

AddressBookDocument AddressBookDocument::fromFileText(const std::string &text)
{
    AddressBookDocument document;
    for (const std::string &line : splitLines(text)) {
        if (!line.empty() && line.front() == '#') {
            document.comments_.push_back(line);
        } else if (auto record = readRecord(line)) {
            document.records_.push_back(std::move(*record));
        }
    }
    return document;
}

// A contact whose selection is the canonical code list goes through the
// backup's own conversion as its decimal mask; one written otherwise (lower
// case, spaces, a decimal mask, something invalid) is kept as the user wrote
// it, which the backup pass would turn into [].
std::string AddressBookDocument::fileLine(const AddressBookRecord &record) const
{
    std::vector<std::string> fields = record.fields;
    const bool contact = parseDecimal(fields.front()) >= AddressBookLimits::FirstContact;
    if (contact && fields.size() > SelectionField) {
        const uint8_t mask = lenientSelection(fields[SelectionField]);
        if (fields[SelectionField] != formatSelectionCodes(mask))
            return joined(fields) + "\r\n";
        fields[SelectionField] = writeDecimal(mask);
    }
    return runPass(writeAddressBookFile, joined(fields) + "\n");
}

std::string AddressBookDocument::toFileText() const
{
    std::string records;
    for (const AddressBookRecord &record : records_)
        records += fileLine(record);
    std::string text;
    for (const std::string &comment : comments_)
        text += comment + "\r\n";
    return text + runPass(quoteAddressBookFields, records);
}

std::string AddressBookDocument::recordFileText(size_t index) const
{
    return runPass(quoteAddressBookFields, fileLine(records_[index]));
}

RecordKind AddressBookDocument::kind(size_t index) const
{
    return number(index) < AddressBookLimits::FirstContact ? RecordKind::Group : RecordKind::Contact;
}

uint32_t AddressBookDocument::number(size_t index) const
{
    return parseDecimal(records_[index].fields.front());
}

std::optional<size_t> AddressBookDocument::find(uint32_t wanted) const
{
    for (size_t i = 0; i < records_.size(); ++i) {
        if (number(i) == wanted && allDigits(records_[i].fields.front()))
            return i;
    }
    return std::nullopt;
}

const std::string &AddressBookDocument::field(size_t index, size_t field) const
{
    const auto &fields = records_[index].fields;
    return field < fields.size() ? fields[field] : NoField;
}

void AddressBookDocument::setField(size_t index, size_t field, const std::string &text)
{
    std::string clean = text;
    std::replace_if(
        clean.begin(), clean.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    auto &fields = records_[index].fields;
    if (field < fields.size() && fields[field] == clean)
        return;
    if (field >= fields.size())
        fields.resize(field + 1);
    fields[field] = std::move(clean);
    modified_ = true;
}

uint8_t AddressBookDocument::selection(size_t index) const
{
    return lenientSelection(field(index, SelectionField));
}

void AddressBookDocument::setSelection(size_t index, uint8_t mask)
{
    setField(index, SelectionField, formatSelectionCodes(mask));
}

bool AddressBookDocument::inRange(RecordKind kind, uint32_t number) const
{
    return kind == RecordKind::Group
               ? number < AddressBookLimits::GroupLimit
               : number >= AddressBookLimits::FirstContact && number <= AddressBookLimits::LastContact;
}

std::optional<size_t> AddressBookDocument::addRecord(RecordKind kind)
{
    size_t groups = 0;
    size_t lastOfKind = 0;
    bool anyOfKind = false;
    for (size_t i = 0; i < records_.size(); ++i) {
        groups += this->kind(i) == RecordKind::Group ? 1 : 0;
        if (this->kind(i) == kind) {
            lastOfKind = i;
            anyOfKind = true;
        }
    }
    if (kind == RecordKind::Group && groups >= AddressBookLimits::GroupLimit)
        return std::nullopt;
    uint32_t number = kind == RecordKind::Group ? 0 : AddressBookLimits::FirstContact;
    while (inRange(kind, number) && find(number))
        ++number;
    if (!inRange(kind, number))
        return std::nullopt;
    // Groups go before the contacts when there are none yet: a group must come
    // before the contacts it names.
    const size_t at = anyOfKind ? lastOfKind + 1 : (kind == RecordKind::Group ? 0 : records_.size());
    AddressBookRecord record;
    record.fields.resize(kind == RecordKind::Group ? GroupFieldCount : ContactFieldCount);
    record.fields[0] = writeDecimal(number);
    if (kind == RecordKind::Contact)
        record.fields[SelectionField] = formatSelectionCodes(0);
    records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(at), std::move(record));
    modified_ = true;
    return at;
}

void AddressBookDocument::remove(std::vector<size_t> indexes)
{
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    std::vector<uint32_t> contacts;
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) {
        if (*it >= records_.size())
            continue;
        if (kind(*it) == RecordKind::Contact)
            contacts.push_back(number(*it));
        records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(*it));
        modified_ = true;
    }
    for (uint32_t contact : contacts) {
        if (!find(contact))
            removeMember(contact);
    }
}

bool AddressBookDocument::renumber(size_t index, uint32_t newNumber)
{
    const RecordKind recordKind = kind(index);
    const uint32_t old = number(index);
    if (newNumber == old && allDigits(field(index, 0)))
        return true;
    if (!inRange(recordKind, newNumber) || find(newNumber))
        return false;
    setField(index, 0, writeDecimal(newNumber));
    if (recordKind == RecordKind::Contact)
        replaceMember(old, newNumber);
    return true;
}

std::vector<uint32_t> AddressBookDocument::members(size_t group) const
{
    std::vector<uint32_t> numbers;
    for (size_t k = 0; k < MemberFieldCount; ++k) {
        const std::string &text = field(group, FirstMemberField + k);
        if (!text.empty() && allDigits(text))
            numbers.push_back(parseDecimal(text));
    }
    return numbers;
}

void AddressBookDocument::setMembers(size_t group, const std::vector<uint32_t> &numbers)
{
    for (size_t k = 0; k < MemberFieldCount; ++k) {
        const std::string text = k < numbers.size() ? writeDecimal(numbers[k]) : std::string();
        // Fields the record never had stay absent rather than becoming empty.
        if (k < numbers.size() || FirstMemberField + k < records_[group].fields.size())
            setField(group, FirstMemberField + k, text);
    }
}

void AddressBookDocument::removeMember(uint32_t contact)
{
    for (size_t i = 0; i < records_.size(); ++i) {
        if (kind(i) != RecordKind::Group)
            continue;
        std::vector<uint32_t> kept = members(i);
        const auto end = std::remove(kept.begin(), kept.end(), contact);
        if (end == kept.end())
            continue;
        kept.erase(end, kept.end());
        setMembers(i, kept);
    }
}

void AddressBookDocument::replaceMember(uint32_t from, uint32_t to)
{
    for (size_t i = 0; i < records_.size(); ++i) {
        if (kind(i) != RecordKind::Group)
            continue;
        for (size_t k = 0; k < MemberFieldCount; ++k) {
            const std::string &text = field(i, FirstMemberField + k);
            if (!text.empty() && allDigits(text) && parseDecimal(text) == from)
                setField(i, FirstMemberField + k, writeDecimal(to));
        }
    }
}

std::string AddressBookDocument::contactName(size_t index) const
{
    std::string name = field(index, 3);
    const std::string &last = field(index, 4);
    if (!name.empty() && !last.empty())
        name += ' ';
    name += last;
    return name.empty() ? field(index, 0) : name;
}

} // namespace q57::preview
