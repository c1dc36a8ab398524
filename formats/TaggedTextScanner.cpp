// SPDX-License-Identifier: MIT
#include "formats/TaggedTextScanner.h"

#include "app/StatusLog.h"

#include <cctype>
#include <cstring>
#include <ostream>

namespace q57 {

namespace {

// In the order they are tested.
constexpr Tag TagOrder[] = {Tag::LabelOpen, Tag::LabelClose, Tag::TextOpen,
                            Tag::TextClose, Tag::MainOpen,   Tag::MainClose};

// "</label>" is the longest tag.
constexpr size_t LongestTag = 8;

} // namespace

const char *tagText(Tag tag)
{
    switch (tag) {
    case Tag::LabelOpen: return "<label>";
    case Tag::LabelClose: return "</label>";
    case Tag::TextOpen: return "<text>";
    case Tag::TextClose: return "</text>";
    case Tag::MainOpen: return "<main>";
    case Tag::MainClose: return "</main>";
    case Tag::None: break;
    }
    return "";
}

Tag TaggedTextScanner::matchTag()
{
    const size_t ready = reader_.available(LongestTag);
    for (Tag tag : TagOrder) {
        const char *text = tagText(tag);
        const size_t length = std::strlen(text);
        if (length > ready)
            continue;
        bool same = true;
        for (size_t i = 0; i < length && same; ++i)
            same = std::tolower(reader_.peek(i)) == text[i];
        if (same) {
            reader_.skip(length);
            return tag;
        }
    }
    if (ready < LongestTag)
        log_.log("Invalid tag at end of file.\n");
    return Tag::None;
}

TaggedTextScanner::Token TaggedTextScanner::next()
{
    if (reader_.peek() == '<') {
        const Tag tag = matchTag();
        if (tag != Tag::None)
            return {tag, ByteReader::End};
    }
    return {Tag::None, reader_.get()};
}

int TaggedTextScanner::normalise(int byte)
{
    if (byte == '\r') {
        if (reader_.peek() != '\n')
            return '\n'; // a lone CR ends a line but is not counted as one
        reader_.skip(1);
        byte = '\n';
    }
    if (byte == '\t')
        return ' ';
    if (byte == '\n')
        ++line_;
    return byte;
}

bool TaggedTextScanner::skipToMain(bool &result)
{
    for (;;) {
        const Token token = next();
        if (token.atEnd())
            return false;
        if (token.tag == Tag::MainOpen)
            return true;
        if (token.tag == Tag::MainClose) {
            logUnexpected(Tag::MainClose);
            result = false;
            return false;
        }
        if (token.tag != Tag::None)
            reader_.get();
    }
}

void TaggedTextScanner::logUnexpected(Tag tag)
{
    log_.log("%s tag unexpected at line %d.\n", tagText(tag), line_);
}

void CountingWriter::put(int byte)
{
    output_.put(static_cast<char>(byte));
    ++position_;
}

bool TaggedFileReader::scanMain()
{
    if (!scanner_.skipToMain(result_))
        return false;
    for (;;) {
        const TaggedTextScanner::Token token = scanner_.next();
        if (token.atEnd())
            break;
        if (token.tag == Tag::MainClose) {
            mainClosed_ = true;
            break;
        }
        if (token.tag == Tag::MainOpen) {
            unexpected(token.tag);
            break;
        }
        if (!onElementToken(token))
            break;
    }
    return true;
}

bool TaggedFileReader::unexpected(Tag tag)
{
    scanner_.logUnexpected(tag);
    result_ = false;
    return false;
}

} // namespace q57
