// SPDX-License-Identifier: MIT
#pragma once
// Reads an address book file as the merge sees it: line by line with the line
// ends a restore accepts (LF, CR LF or a lone CR, none of them kept), each line
// handed out in pieces of at most MaxPieceLength bytes. Only a line longer than
// that comes out as several pieces, each of which counts as a line of its own;
// such a line is noted so that the user can be told.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace q57 {

class SourceLines {
public:
    static constexpr std::size_t MaxPieceLength = 1022;

    // Takes over an open file; closes it when done. Reading more than
    // `byteLimit` bytes (a file that grows while it is read) is a read error.
    SourceLines(std::FILE *file, std::uint64_t byteLimit) : file_(file), bytesLeft_(byteLimit) {}
    ~SourceLines() { close(); }
    SourceLines(const SourceLines &) = delete;
    SourceLines &operator=(const SourceLines &) = delete;

    // The next piece; false at the end of the file (or after a read error).
    bool next(std::string &piece);
    // True when reading stopped on an error rather than at the end.
    bool failed() const { return failed_; }
    // The numbers (from 1) of the lines read so far that were longer than
    // MaxPieceLength and so were split, in order.
    const std::vector<std::size_t> &splitLines() const { return splitLines_; }
    void close();

private:
    int get();
    void putBack(int c) { pending_.push_back(static_cast<char>(c)); }
    // Steps over a line end starting with `c`; false when `c` starts none.
    bool isLineEnd(int c);
    // After a full piece: its line's end, the end of the file, or more of a
    // line that is longer than a piece.
    void endFullPiece();

    std::FILE *file_;
    std::uint64_t bytesLeft_;
    std::string pending_;  // bytes read ahead, last one first
    std::size_t line_ = 1; // the number of the line being read
    std::vector<std::size_t> splitLines_;
    bool failed_ = false;
};

} // namespace q57
