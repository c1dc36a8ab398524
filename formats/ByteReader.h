// SPDX-License-Identifier: MIT
#pragma once
// Buffered byte input with a few bytes of look-ahead, for the readers that must
// test a tag or a line end before they decide what a byte is. Only bytes that
// the stream really delivered are ever handed out.

#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>

namespace q57 {

class ByteReader {
public:
    static constexpr int End = -1;
    static constexpr size_t MaxLookAhead = 16;

    explicit ByteReader(std::istream &input) : input_(input) {}

    // The next byte (0 to 255), or End.
    int get();
    // The byte `offset` places ahead without consuming it (offset < MaxLookAhead), or End.
    int peek(size_t offset = 0);
    // How many of the next `wanted` bytes exist (wanted <= MaxLookAhead).
    size_t available(size_t wanted);
    // Steps over `count` bytes that peek/available has already shown.
    void skip(size_t count);
    bool atEnd() { return available(1) == 0; }

private:
    // Makes at least `wanted` bytes ready in the buffer unless the input ends first.
    void fill(size_t wanted);

    std::istream &input_;
    std::array<uint8_t, 4096> buffer_{};
    size_t begin_ = 0;
    size_t end_ = 0;
    bool inputEnded_ = false;
};

} // namespace q57
