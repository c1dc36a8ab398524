// SPDX-License-Identifier: MIT
#pragma once
// Reads an address book file as the merge sees it: pieces of at most
// MaxPieceLength bytes, each ending at a line break (LF, or CR LF, neither kept)
// or where the piece is full. A line longer than that comes out as several
// pieces, and every piece counts as a line of its own.

#include <cstdio>
#include <string>

namespace q57 {

class SourceLines {
public:
    static constexpr std::size_t MaxPieceLength = 1022;

    // Takes over an open file; closes it when done.
    explicit SourceLines(std::FILE *file) : file_(file) {}
    ~SourceLines() { close(); }
    SourceLines(const SourceLines &) = delete;
    SourceLines &operator=(const SourceLines &) = delete;

    // The next piece; false at the end of the file (or after a read error).
    bool next(std::string &piece);
    // True when reading stopped on an error rather than at the end.
    bool failed() const { return failed_; }
    void close();

private:
    int get();
    void putBack(int c) { pending_.push_back(static_cast<char>(c)); }
    // A full piece's line break, when one follows right after it.
    void takeBreakAfterFullPiece(std::string &piece);

    std::FILE *file_;
    std::string pending_; // bytes read ahead, last one first
    bool failed_ = false;
};

} // namespace q57
