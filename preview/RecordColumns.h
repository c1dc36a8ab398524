// SPDX-License-Identifier: MIT
#pragma once
// The editor's columns for each kind of record and the file field behind each:
// the file form's fields in order, except that a contact's address selection
// is shown as one check box column per code.

#include "preview/AddressBookDocument.h"

#include <cstddef>
#include <string>

namespace q57::preview {

enum class ColumnKind { Number, Selection, Text, Year, MonthDay, HourMinute, Member };

struct Column {
    ColumnKind kind;
    size_t field;       // position in the file line
    std::string header; // the field's name in the rules' messages
    uint8_t bit = 0;    // Selection: the code's bit
};

size_t columnCount(RecordKind kind);
Column column(RecordKind kind, size_t index);
// The first column that shows `field` (for a contact's selection: WA).
size_t columnOfField(RecordKind kind, size_t field);

} // namespace q57::preview
