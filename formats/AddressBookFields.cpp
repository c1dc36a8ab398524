// SPDX-License-Identifier: MIT
#include "formats/AddressBookFields.h"

#include <algorithm>
#include <cctype>

namespace q57 {

uint32_t parseDecimal(std::string_view text)
{
    constexpr uint32_t Ceiling = 1u << 28;
    uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + static_cast<uint32_t>(c - '0');
        if (value >= Ceiling)
            return Ceiling;
    }
    return value;
}

std::string writeDecimal(uint32_t value)
{
    return std::to_string(value);
}

bool allDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void zeroFillTimestamp(std::string &field)
{
    const bool allHex = std::all_of(field.begin(), field.end(),
                                    [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
    if (!allHex)
        field.assign(field.size(), '0');
}

std::string_view nextField(std::string_view text, size_t limit)
{
    const size_t end = std::min(text.find_first_of("\t\r\n"), text.size());
    return text.substr(0, std::min(end, limit));
}

} // namespace q57
