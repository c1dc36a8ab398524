// SPDX-License-Identifier: MIT
#pragma once
// What the memo and quicktext readers share: finding the six tags (in any letter
// case) in the byte stream, normalising ordinary bytes and counting lines,
// skipping whatever stands before "<main>", and writing the device bytes while
// keeping track of the output offset for the TextEntryTable.

#include "formats/ByteReader.h"

#include <cstdint>
#include <iosfwd>

namespace q57 {

class StatusLog;

enum class Tag { None, LabelOpen, LabelClose, TextOpen, TextClose, MainOpen, MainClose };

// The tag as it is written, in lower case ("<label>" ...).
const char *tagText(Tag tag);

class TaggedTextScanner {
public:
    struct Token {
        Tag tag = Tag::None;        // a tag, or None for an ordinary byte
        int byte = ByteReader::End; // the ordinary byte (raw), End at the end of input
        bool atEnd() const { return tag == Tag::None && byte == ByteReader::End; }
    };

    TaggedTextScanner(std::istream &input, StatusLog &log) : reader_(input), log_(log) {}

    bool inputEmpty() { return reader_.atEnd(); }

    Token next();
    // The next byte taken as it is, never as the start of a tag (End at the end).
    int nextRaw() { return reader_.get(); }
    // An ordinary byte as the device sees it: CR LF becomes LF, a lone CR becomes
    // LF, TAB becomes a space. Returns End when nothing is taken.
    int normalise(int byte);

    // Reads up to "<main>" (true). Before it, "</main>" is logged as unexpected and
    // fails the scan; other tags are skipped with the byte after them.
    bool skipToMain(bool &result);

    // Logs "%s tag unexpected at line %d.\n".
    void logUnexpected(Tag tag);

    int line() const { return line_; }

private:
    Tag matchTag();

    ByteReader reader_;
    StatusLog &log_;
    int line_ = 1;
};

// Output of a reader: bytes written so far, which are the offsets of the table.
class CountingWriter {
public:
    explicit CountingWriter(std::ostream &output) : output_(output) {}
    void put(int byte);
    uint32_t position() const { return position_; }

private:
    std::ostream &output_;
    uint32_t position_ = 0;
};

// What the memo and quicktext readers share around their own elements: the
// skip to "<main>", the scan up to "</main>", and the result.
class TaggedFileReader {
public:
    virtual ~TaggedFileReader() = default;

protected:
    TaggedFileReader(std::istream &input, std::ostream &output, StatusLog &log) : scanner_(input, log), writer_(output)
    {
    }

    // Scans up to "</main>", the end of input or the first error; false when
    // "<main>" was never reached.
    bool scanMain();
    // A token inside "<main>" other than the two main tags; false ends the scan.
    virtual bool onElementToken(const TaggedTextScanner::Token &token) = 0;
    // Logs the unexpected tag and fails the scan (returns false).
    bool unexpected(Tag tag);

    TaggedTextScanner scanner_;
    CountingWriter writer_;
    bool mainClosed_ = false;
    bool result_ = true;
};

} // namespace q57
