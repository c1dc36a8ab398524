// SPDX-License-Identifier: MIT
#include "formats/AddressBookFile.h"

#include "app/StatusLog.h"
#include "formats/AddressBookFields.h"
#include "formats/AddressBookLimits.h"
#include "formats/AddressBookLineReader.h"
#include "formats/AddressBookRules.h"
#include "formats/AddressSelection.h"
#include "formats/ByteReader.h"
#include "formats/FormatContext.h"

#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace q57 {

namespace {

constexpr size_t DevicePieceLimit = 700; // bytes of a device line, its LF included
constexpr size_t RecordNumberLength = 10;

// The next piece of a device line: up to and including LF, at most 700 bytes.
bool readDevicePiece(ByteReader &reader, std::string &piece)
{
    piece.clear();
    while (piece.size() < DevicePieceLimit) {
        const int byte = reader.get();
        if (byte == ByteReader::End)
            break;
        piece += static_cast<char>(byte);
        if (byte == '\n')
            break;
    }
    return !piece.empty();
}

// A contact line gets its selection mask written as codes; every other line
// passes unchanged.
std::string toFileLine(const std::string &piece)
{
    if (piece.front() == '#')
        return piece;
    const std::string_view line(piece);
    const std::string_view number = nextField(line, RecordNumberLength);
    if (number.empty() || parseDecimal(number) < 16)
        return piece;
    const size_t separator = line.find_first_of("\t\r\n");
    if (separator == std::string_view::npos || line[separator] != '\t')
        return piece; // no second field
    const size_t selectionStart = separator + 1;
    const std::string_view selection = nextField(line.substr(selectionStart), std::string_view::npos);
    uint32_t mask = parseDecimal(selection);
    if (mask > 255)
        mask = 0;
    return piece.substr(0, selectionStart) + formatSelectionCodes(static_cast<uint8_t>(mask)) +
           piece.substr(selectionStart + selection.size());
}

void writeWithCrLf(std::ostream &output, const std::string &line)
{
    for (char c : line) {
        if (c == '\n')
            output.put('\r');
        output.put(c);
    }
}

} // namespace

bool writeAddressBookFile(FormatContext &, std::istream &input, std::ostream &output)
{
    ByteReader reader(input);
    std::string piece;
    while (readDevicePiece(reader, piece))
        writeWithCrLf(output, toFileLine(piece));
    return true;
}

namespace {

// Writes the file fields, putting a field in double quotes as soon as it shows a
// character that needs them; the characters before that wait in `pending`.
class FieldQuoter {
public:
    explicit FieldQuoter(std::ostream &output) : output_(output) {}

    void put(char c)
    {
        if (c == '\t' || c == '\r' || c == '\n') {
            endField();
            output_.put(c);
        } else if (c == ',' || c == '=' || c == '"') {
            openQuotes();
            if (c == '"')
                output_.put('"');
            output_.put(c);
        } else if (quoted_) {
            output_.put(c);
        } else {
            pending_ += c;
            if (pending_.size() == PendingLimit)
                openQuotes();
        }
    }

    void finish() { endField(); }

private:
    static constexpr size_t PendingLimit = 2100;

    void openQuotes()
    {
        if (quoted_)
            return;
        output_.put('"');
        output_ << pending_;
        pending_.clear();
        quoted_ = true;
    }

    void endField()
    {
        output_ << pending_;
        pending_.clear();
        if (quoted_)
            output_.put('"');
        quoted_ = false;
    }

    std::ostream &output_;
    std::string pending_;
    bool quoted_ = false;
};

} // namespace

bool quoteAddressBookFields(FormatContext &, std::istream &input, std::ostream &output)
{
    ByteReader reader(input);
    FieldQuoter quoter(output);
    for (int byte = reader.get(); byte != ByteReader::End; byte = reader.get())
        quoter.put(static_cast<char>(byte));
    quoter.finish();
    return true;
}

namespace {

void writeDeviceLine(std::ostream &output, const std::vector<std::string> &fields)
{
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            output.put('\t');
        output << fields[i];
    }
    output.put('\n');
}

// Checks one record line and writes its device form; false when the pass stops.
bool readRecord(AddressBookRules &rules, std::vector<std::string> &fields, std::ostream &output)
{
    uint32_t number = 0;
    bool passed = true;
    if (!rules.checkRecordNumber(fields, number, passed))
        return false;
    const bool recordPassed = number < AddressBookLimits::FirstContact ? rules.checkGroupRecord(number, fields)
                                                                       : rules.checkContactRecord(number, fields);
    writeDeviceLine(output, fields);
    return passed && recordPassed;
}

} // namespace

bool readAddressBookFile(FormatContext &context, std::istream &input, std::ostream &output)
{
    context.addressBookTables.resetForPass();
    context.addressBook.recordCount = 0;
    context.addressBook.highestRecordId = 0;
    output << "\n\n";

    AddressBookRules rules(context);
    AddressBookLineReader lines(input);
    for (AddressBookLine line = lines.next(); line.kind != AddressBookLine::Kind::End; line = lines.next()) {
        if (line.kind == AddressBookLine::Kind::Blank) {
            context.log.log("Blank line encountered after record number: %ld. Ignored.\n",
                            static_cast<long>(context.addressBookTables.lastRecordNumber));
        } else if (line.kind == AddressBookLine::Kind::Record && !readRecord(rules, line.fields, output)) {
            return false;
        }
    }
    return rules.checkDanglingMembers();
}

} // namespace q57
