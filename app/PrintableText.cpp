// SPDX-License-Identifier: MIT
#include "app/PrintableText.h"

namespace q57 {

namespace {

bool needsEscape(unsigned char byte)
{
    return (byte < 0x20 && byte != '\n' && byte != '\t') || byte == 0x7F;
}

} // namespace

std::string printableText(std::string_view text)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (!needsEscape(byte)) {
            shown += c;
            continue;
        }
        shown += "\\x";
        shown += Hex[byte >> 4];
        shown += Hex[byte & 0x0F];
    }
    return shown;
}

} // namespace q57
