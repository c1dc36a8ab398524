// SPDX-License-Identifier: MIT
#include "formats/AddressBookLineReader.h"

namespace q57 {

bool AddressBookLineReader::skipLineEnd()
{
    const int byte = reader_.peek();
    if (byte == '\n') {
        reader_.skip(1);
        return true;
    }
    if (byte == '\r') {
        reader_.skip(1);
        if (reader_.peek() == '\n')
            reader_.skip(1);
        return true;
    }
    return false;
}

bool AddressBookLineReader::readText(std::string &text)
{
    text.clear();
    if (reader_.atEnd())
        return false;
    while (text.size() < LineLimit) {
        if (skipLineEnd())
            return true;
        const int byte = reader_.get();
        if (byte == ByteReader::End)
            return true;
        text += static_cast<char>(byte);
    }
    // A line of exactly the limit keeps its line end; a longer one goes on as
    // the next line.
    skipLineEnd();
    return true;
}

std::string unquoteField(const std::string &field)
{
    const size_t n = field.size();
    if (n < 3 || (field.front() != '"' && field.back() != '"'))
        return field;
    const bool hasSeparator = field.find_first_of(",=") != std::string::npos;
    const bool innerQuote = field.find('"', 1) < n - 1;
    if (!hasSeparator && !innerQuote)
        return field;
    std::string inner;
    for (size_t i = 1; i + 1 < n; ++i) {
        inner += field[i];
        if (field[i] == '"' && i + 2 < n && field[i + 1] == '"')
            ++i;
    }
    return inner;
}

AddressBookLine AddressBookLineReader::next()
{
    AddressBookLine line;
    std::string text;
    if (!readText(text))
        return line;
    if (!text.empty() && text.front() == '#') {
        line.kind = AddressBookLine::Kind::Comment;
        return line;
    }
    const size_t kept = text.find_last_not_of("\t,");
    if (kept == std::string::npos) {
        line.kind = AddressBookLine::Kind::Blank;
        return line;
    }
    text.resize(kept + 1);
    line.kind = AddressBookLine::Kind::Record;
    size_t start = 0;
    for (;;) {
        const size_t tab = text.find('\t', start);
        line.fields.push_back(unquoteField(text.substr(start, tab - start)));
        if (tab == std::string::npos)
            break;
        start = tab + 1;
    }
    return line;
}

} // namespace q57
