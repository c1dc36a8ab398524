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
    return c;
}

bool SourceLines::next(std::string &piece)
{
    piece.clear();
    while (piece.size() < MaxPieceLength) {
        const int c = get();
        if (c == EOF)
            return !piece.empty() && !failed_;
        if (c == '\n') {
            if (!piece.empty() && piece.back() == '\r')
                piece.pop_back();
            return true;
        }
        piece.push_back(static_cast<char>(c));
    }
    takeBreakAfterFullPiece(piece);
    return !failed_;
}

// Without this, a line of exactly MaxPieceLength bytes would leave its line
// break behind as an empty piece of its own.
void SourceLines::takeBreakAfterFullPiece(std::string &piece)
{
    const int c = get();
    if (c == '\n') {
        if (piece.back() == '\r')
            piece.pop_back();
        return;
    }
    if (c != '\r') {
        if (c != EOF)
            putBack(c);
        return;
    }
    const int after = get();
    if (after == '\n')
        return;
    if (after != EOF)
        putBack(after);
    putBack(c);
}

void SourceLines::close()
{
    if (file_ != nullptr)
        std::fclose(file_);
    file_ = nullptr;
}

} // namespace q57
