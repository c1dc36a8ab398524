// SPDX-License-Identifier: MIT
#pragma once
// Reads the address book file form line by line: line ends LF, CR LF or a lone
// CR, at most 700 characters a line, trailing TAB and "," removed, and the
// fields that a spreadsheet or the backup put in double quotes unquoted.

#include "formats/ByteReader.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace q57 {

struct AddressBookLine {
    enum class Kind { End, Comment, Blank, Record };
    Kind kind = Kind::End;
    std::vector<std::string> fields; // record lines only, split at TAB and unquoted
};

class AddressBookLineReader {
public:
    static constexpr size_t LineLimit = 700;

    explicit AddressBookLineReader(std::istream &input) : reader_(input) {}

    AddressBookLine next();

private:
    // The characters of the next line without its line end; false at the end of input.
    bool readText(std::string &text);
    // Steps over a line end at the reading position, if there is one.
    bool skipLineEnd();

    ByteReader reader_;
};

// A field wrapped in double quotes by the quoting rule loses them, and each
// doubled double quote inside becomes one; any other field stays as it is.
std::string unquoteField(const std::string &field);

} // namespace q57
