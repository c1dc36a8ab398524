// SPDX-License-Identifier: MIT
#include "formats/QuicktextFile.h"

#include "app/StatusLog.h"
#include "formats/ByteReader.h"
#include "formats/FormatContext.h"
#include "formats/TaggedTextScanner.h"

#include <istream>
#include <ostream>

namespace q57 {

bool quicktextToFile(FormatContext &, std::istream &input, std::ostream &output)
{
    ByteReader reader(input);
    if (reader.atEnd())
        return true;
    output << "<main>\r\n<text>";
    bool inText = true;
    for (int byte = reader.get(); byte != ByteReader::End; byte = reader.get()) {
        if (byte == '\t') {
            output << "</text>\r\n";
            inText = !reader.atEnd();
            if (inText)
                output << "<text>";
        } else if (byte == '\n') {
            output << "\r\n";
        } else {
            output.put(static_cast<char>(byte));
        }
    }
    if (inText)
        output << "</text>\r\n";
    output << "</main>";
    return true;
}

namespace {

constexpr int TextLimit = 160;
constexpr uint16_t MaxEntries = 20; // the 20th entry is refused
constexpr uint16_t QuicktextCapacity = 20;

class QuicktextReader : public TaggedFileReader {
public:
    QuicktextReader(FormatContext &context, std::istream &input, std::ostream &output)
        : TaggedFileReader(input, output, context.log), context_(context)
    {
    }

    bool run();

private:
    // Each returns false when the scan ends.
    bool onElementToken(const TaggedTextScanner::Token &token) override;
    bool betweenEntries(const TaggedTextScanner::Token &token);
    bool insideEntry(const TaggedTextScanner::Token &token);
    bool openEntry();
    bool closeEntry();
    void textByte(int raw);
    void reportEnd(const char *expected);

    FormatContext &context_;
    bool inEntry_ = false;
    int count_ = 0;
};

bool QuicktextReader::run()
{
    DataItem &item = context_.quicktext;
    item.recordCount = 0;
    item.capacity = QuicktextCapacity;
    if (scanner_.inputEmpty())
        return true;
    context_.textEntries.clear(QuicktextCapacity);
    context_.textEntryCount = 0;

    const bool mainSeen = scanMain();
    if (!mainSeen)
        reportEnd(tagText(Tag::MainOpen));
    else if (inEntry_ && item.recordCount < MaxEntries)
        reportEnd(tagText(Tag::TextClose));
    else if (!inEntry_ && !mainClosed_)
        reportEnd(tagText(Tag::MainClose));
    if (!mainSeen || inEntry_ || !mainClosed_)
        result_ = false;
    return result_;
}

void QuicktextReader::reportEnd(const char *expected)
{
    context_.log.log("Unexpected End Of File. Expecting %s tag in file.\n", expected);
}

bool QuicktextReader::onElementToken(const TaggedTextScanner::Token &token)
{
    return inEntry_ ? insideEntry(token) : betweenEntries(token);
}

bool QuicktextReader::betweenEntries(const TaggedTextScanner::Token &token)
{
    switch (token.tag) {
    case Tag::TextOpen: return openEntry();
    case Tag::TextClose: return unexpected(token.tag);
    case Tag::LabelOpen:
    case Tag::LabelClose:
        scanner_.nextRaw(); // no meaning here: skipped with the byte after it
        return true;
    default:
        scanner_.normalise(token.byte); // counts lines, otherwise ignored
        return true;
    }
}

bool QuicktextReader::insideEntry(const TaggedTextScanner::Token &token)
{
    switch (token.tag) {
    case Tag::TextClose: return closeEntry();
    case Tag::TextOpen: return unexpected(token.tag);
    case Tag::LabelOpen:
    case Tag::LabelClose: {
        // Dropped; the byte after it is text whatever it is.
        const int byte = scanner_.nextRaw();
        if (byte != ByteReader::End)
            textByte(byte);
        return true;
    }
    default: textByte(token.byte); return true;
    }
}

bool QuicktextReader::openEntry()
{
    inEntry_ = true;
    count_ = 0;
    if (++context_.quicktext.recordCount >= MaxEntries) {
        context_.log.log("Number of QuickText entries exceeds maximum of %ld at line %ld.\n",
                         static_cast<long>(MaxEntries), static_cast<long>(scanner_.line()));
        result_ = false;
        return false;
    }
    return true;
}

bool QuicktextReader::closeEntry()
{
    inEntry_ = false;
    if (count_ > TextLimit) {
        context_.log.log("Text exceeds limit %d character limit at line %d. (%d chars.)\n", TextLimit, scanner_.line(),
                         count_);
        result_ = false;
        return false;
    }
    writer_.put('\t');
    context_.textEntries.close(context_.textEntryCount, writer_.position());
    ++context_.textEntryCount;
    return true;
}

void QuicktextReader::textByte(int raw)
{
    const int byte = scanner_.normalise(raw);
    if (byte == ByteReader::End)
        return;
    writer_.put(byte);
    ++count_;
}

} // namespace

bool quicktextFromFile(FormatContext &context, std::istream &input, std::ostream &output)
{
    return QuicktextReader(context, input, output).run();
}

} // namespace q57
