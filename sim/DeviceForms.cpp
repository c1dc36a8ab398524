// SPDX-License-Identifier: MIT
#include "sim/DeviceForms.h"

#include <algorithm>
#include <string>
#include <vector>

namespace q57::sim {
namespace {

constexpr uint8_t kTab = 0x09;
constexpr uint8_t kLineFeed = 0x0A;
constexpr unsigned kFirstContact = 16;
constexpr size_t kMembershipField = 3; // record number, selection, usage, membership

// The record number of a line: its first field read as decimal digits (0 when
// anything else is in it, like the host's reading of it).
unsigned recordNumber(const Bytes &line)
{
    unsigned value = 0;
    for (uint8_t byte : line) {
        if (byte == kTab)
            break;
        if (byte < '0' || byte > '9' || value > 100000)
            return 0;
        value = value * 10 + (byte - '0');
    }
    return value;
}

Bytes withoutField(const Bytes &line, size_t index)
{
    size_t start = 0;
    for (size_t field = 0; field < index; ++field) {
        const auto tab = std::find(line.begin() + static_cast<std::ptrdiff_t>(start), line.end(), kTab);
        if (tab == line.end())
            return line; // the line has no such field
        start = static_cast<size_t>(tab - line.begin()) + 1;
    }
    const auto tab = std::find(line.begin() + static_cast<std::ptrdiff_t>(start), line.end(), kTab);
    Bytes shorter(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(start));
    if (tab != line.end())
        shorter.insert(shorter.end(), tab + 1, line.end());
    else if (!shorter.empty())
        shorter.pop_back(); // it was the last field: its TAB goes with it
    return shorter;
}

} // namespace

Bytes storedAddressBook(const Bytes &received)
{
    Bytes stored;
    auto lineStart = received.begin();
    while (lineStart != received.end()) {
        const auto lineEnd = std::find(lineStart, received.end(), kLineFeed);
        Bytes line(lineStart, lineEnd);
        lineStart = lineEnd == received.end() ? lineEnd : lineEnd + 1;
        if (line.empty())
            continue;
        if (recordNumber(line) >= kFirstContact)
            line = withoutField(line, kMembershipField);
        stored.insert(stored.end(), line.begin(), line.end());
        stored.push_back(kLineFeed);
    }
    return stored;
}

Bytes storedTextEntries(const Bytes &received, int fieldsPerEntry)
{
    std::vector<Bytes> entries;
    Bytes current;
    int fields = 0;
    for (uint8_t byte : received) {
        current.push_back(byte);
        if (byte == kTab && ++fields == fieldsPerEntry) {
            entries.push_back(std::move(current));
            current.clear();
            fields = 0;
        }
    }
    Bytes stored;
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry)
        stored.insert(stored.end(), entry->begin(), entry->end());
    stored.insert(stored.end(), current.begin(), current.end()); // an unfinished entry stays last
    return stored;
}

uint32_t lineCount(const Bytes &data)
{
    return static_cast<uint32_t>(std::count(data.begin(), data.end(), kLineFeed));
}

} // namespace q57::sim
