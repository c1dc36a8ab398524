// SPDX-License-Identifier: MIT
#include "merge/SourceLines.h"

namespace q57 {

int SourceLines::get()
{
    if (!pending_.empty()) {
        const int c = static_cast<unsigned char>(pending_.back());
        pending_.pop_back();
        return c;
    }
    if (file_ == nullptr)
        return EOF;
    const int c = std::getc(file_);
    if (c == EOF && std::ferror(file_))
        failed_ = true;
    if (c == EOF)
        return c;
    if (bytesLeft_ == 0) {
        failed_ = true;
        return EOF;
    }
    --bytesLeft_;
    return c;
}

// The same line ends as formats/AddressBookLineReader: a CR followed by an LF
// is one line end, a CR alone is one too.
bool SourceLines::isLineEnd(int c)
{
    if (c == '\r') {
        const int after = get();
        if (after != '\n' && after != EOF)
            putBack(after);
    } else if (c != '\n') {
        return false;
    }
    ++line_;
    return true;
}

bool SourceLines::next(std::string &piece)
{
    piece.clear();
    while (piece.size() < MaxPieceLength) {
        const int c = get();
        if (c == EOF)
            return !piece.empty() && !failed_;
        if (isLineEnd(c))
            return true;
        piece.push_back(static_cast<char>(c));
    }
    endFullPiece();
    return !failed_;
}

// A line of exactly MaxPieceLength bytes is one piece, its line end taken with
// it; only a longer line goes on in the next piece.
void SourceLines::endFullPiece()
{
    const int c = get();
    if (c == EOF || isLineEnd(c))
        return;
    putBack(c);
    if (splitLines_.empty() || splitLines_.back() != line_)
        splitLines_.push_back(line_);
}

void SourceLines::close()
{
    if (file_ != nullptr)
        std::fclose(file_);
    file_ = nullptr;
}

} // namespace q57
