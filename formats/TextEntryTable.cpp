// SPDX-License-Identifier: MIT
#include "formats/TextEntryTable.h"

#include "formats/FormatContext.h"

#include <algorithm>
#include <istream>
#include <ostream>

namespace q57 {

void TextEntryTable::clear(uint16_t count)
{
    std::fill_n(entries.begin(), std::min<size_t>(count, entries.size()), TextEntry{});
}

void TextEntryTable::close(uint16_t index, uint32_t end)
{
    if (index >= Capacity)
        return;
    entries[index].end = end;
    entries[index].used = true;
    if (index + 1 < Capacity)
        entries[index + 1].start = end;
}

namespace {

void copyRange(std::istream &input, std::ostream &output, uint32_t start, uint32_t end)
{
    input.clear();
    input.seekg(start, std::ios::beg);
    std::array<char, 2048> buffer{};
    uint32_t left = end - start;
    while (left > 0) {
        const auto wanted = static_cast<std::streamsize>(std::min<uint32_t>(left, buffer.size()));
        input.read(buffer.data(), wanted);
        const std::streamsize got = input.gcount();
        if (got <= 0)
            return; // only what was read is sent
        output.write(buffer.data(), got);
        left -= static_cast<uint32_t>(got);
    }
}

} // namespace

bool reverseTextEntries(FormatContext &context, std::istream &input, std::ostream &output)
{
    const uint16_t count = std::min(context.textEntryCount, TextEntryTable::Capacity);
    for (int index = count - 1; index >= 0; --index) {
        const TextEntry &entry = context.textEntries.entries[static_cast<size_t>(index)];
        if (entry.used && entry.end > entry.start)
            copyRange(input, output, entry.start, entry.end);
    }
    return true;
}

} // namespace q57
