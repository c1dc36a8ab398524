// SPDX-License-Identifier: MIT
#pragma once
// Where each record accepted by the memo and quicktext readers lies in the
// reader's output, so that the final restore pass can send the records in the
// reverse order, which is the order the device expects.

#include <array>
#include <cstdint>
#include <iosfwd>

namespace q57 {

struct FormatContext;

struct TextEntry {
    uint32_t start = 0; // offset of the record's first byte
    uint32_t end = 0;   // offset just after the record's closing TAB
    bool used = false;
};

struct TextEntryTable {
    static constexpr uint16_t Capacity = 200;

    std::array<TextEntry, Capacity> entries{};

    // Forgets the first `count` entries.
    void clear(uint16_t count = Capacity);
    // Records entry `index` as ending at `end`; the next entry starts there.
    void close(uint16_t index, uint32_t end);
};

// Copies the records listed in the context's table from `input` to `output`,
// last record first (restoreFinal of Memos and Quicktext).
bool reverseTextEntries(FormatContext &context, std::istream &input, std::ostream &output);

} // namespace q57
