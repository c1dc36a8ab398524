// SPDX-License-Identifier: MIT
#pragma once
// An address book as the editor holds it: the comment lines of its file and
// its records in file order, each record's fields as the file form spells
// them (unquoted). It reads and writes the file form exactly as a backup
// writes it, so an unchanged record saves byte for byte as it was read.
// Headless: the editor's tables and the tests work on the same object.

#include "formats/AddressBookLimits.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace q57::preview {

enum class RecordKind { Group, Contact };

struct AddressBookRecord {
    // [0] is the record number as written; a record keeps the number of fields
    // it was read with, trailing empty ones included.
    std::vector<std::string> fields;
};

class AddressBookDocument {
public:
    static constexpr size_t GroupFieldCount = 22;
    static constexpr size_t ContactFieldCount = 24;
    static constexpr size_t SelectionField = 1;                                    // contacts
    static constexpr size_t FirstMemberField = 3;                                  // groups
    static constexpr size_t MemberFieldCount = AddressBookLimits::MembersPerGroup; // groups

    // The file form: comment lines kept, blank lines dropped, each record
    // split at TAB and unquoted.
    static AddressBookDocument fromFileText(const std::string &text);
    // The file form as a backup writes it (CR LF, selections as codes, fields
    // with "," "=" or a double quote quoted), the comments first.
    std::string toFileText() const;
    // One record's part of that text.
    std::string recordFileText(size_t index) const;

    const std::vector<std::string> &comments() const { return comments_; }
    size_t size() const { return records_.size(); }
    const AddressBookRecord &record(size_t index) const { return records_[index]; }
    // Groups are the records numbered below 16, as the rules take them (a
    // number that is not numeric counts as 0).
    RecordKind kind(size_t index) const;
    uint32_t number(size_t index) const;
    // Where the record with this number is, if any.
    std::optional<size_t> find(uint32_t number) const;

    // "" past the end of the record.
    const std::string &field(size_t index, size_t field) const;
    // TAB, CR and LF would split the line: they become spaces. The record
    // grows to reach the field.
    void setField(size_t index, size_t field, const std::string &text);

    // A contact's address selection as a mask: its code list (or decimal
    // mask) read leniently; what the list holds beyond valid codes is ignored.
    uint8_t selection(size_t index) const;
    // Writes the selection as the canonical code list.
    void setSelection(size_t index, uint8_t mask);

    // A new empty record with the lowest free number of its range, put after
    // the last record of its kind; nothing when the range is full (or 15
    // groups exist).
    std::optional<size_t> addRecord(RecordKind kind);
    // Removes the records; the member IDs that named a removed contact go too.
    void remove(std::vector<size_t> indexes);
    // False when the number is outside the record's range or in use; a
    // contact's new number replaces the old one in every member ID.
    bool renumber(size_t index, uint32_t number);

    // The contact numbers that a group's member IDs name, in field order.
    std::vector<uint32_t> members(size_t group) const;
    // At most 16 are kept; the member ID fields after them are emptied.
    void setMembers(size_t group, const std::vector<uint32_t> &numbers);
    // "First Last" of a contact, or its number when both names are empty.
    std::string contactName(size_t index) const;

    bool modified() const { return modified_; }
    void markSaved() { modified_ = false; }

private:
    std::string fileLine(const AddressBookRecord &record) const;
    void removeMember(uint32_t contact);
    void replaceMember(uint32_t from, uint32_t to);
    bool inRange(RecordKind kind, uint32_t number) const;

    std::vector<std::string> comments_;
    std::vector<AddressBookRecord> records_;
    bool modified_ = false;
};

} // namespace q57::preview
