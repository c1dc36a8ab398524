// SPDX-License-Identifier: MIT
#include "formats/AddressSelection.h"

#include "app/StatusLog.h"

#include <cctype>

namespace q57 {

const std::array<SelectionCode, 8> SelectionCodes = {{
    {0x01, "WA", "Wireless Address (WA)"},
    {0x02, "HE", "Home Email (HE)"},
    {0x04, "WE", "Work Email (WE)"},
    {0x08, "AE", "Alternate Email (AE)"},
    {0x10, "HP", "Home Phone (HP)"},
    {0x20, "WP", "Work Phone (WP)"},
    {0x40, "MP", "Mobile Phone (MP)"},
    {0x80, "FX", "Fax Number (FX)"},
}};

std::string formatSelectionCodes(uint8_t mask)
{
    std::string text = "[";
    for (const SelectionCode &code : SelectionCodes) {
        if (!(mask & code.bit))
            continue;
        if (text.size() > 1)
            text += ',';
        text += code.code;
    }
    return text + "]";
}

namespace {

constexpr size_t KeptCharacters = 101;
constexpr size_t LongestList = 25;

std::string compacted(std::string_view text)
{
    std::string kept;
    for (char c : text) {
        if (c == ' ')
            continue;
        if (kept.size() == KeptCharacters)
            break;
        kept += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return kept;
}

// Matches the pair at `at` against the codes not yet in `mask`.
bool addCode(StatusLog &log, long recordNumber, const std::string &list, size_t at, uint8_t &mask)
{
    for (const SelectionCode &code : SelectionCodes) {
        const bool same = std::tolower(static_cast<unsigned char>(code.code[0])) == list[at] &&
                          std::tolower(static_cast<unsigned char>(code.code[1])) == list[at + 1];
        if (!same)
            continue;
        if (mask & code.bit) {
            log.log("Record#%ld: 'Address Selection' contains a duplicate value.\n", recordNumber);
            continue;
        }
        mask |= code.bit;
        return true;
    }
    return false;
}

} // namespace

bool parseAddressSelection(StatusLog &log, long recordNumber, std::string_view text, uint8_t &mask)
{
    mask = 0;
    if (text == "[]")
        return true;
    const std::string list = compacted(text);
    if (list.size() > LongestList) {
        log.log("Record#%ld: 'Address Selection' is too long. Check for invalid codes.\n", recordNumber);
        return false;
    }
    // Codes stand at 1, 4, 7, ...; the brackets and separators are not examined.
    for (size_t at = 1; at < list.size(); at += 3) {
        if (at + 3 > list.size() || !addCode(log, recordNumber, list, at, mask)) {
            log.log("Record#%ld: 'Address Selection' contains an invalid code.\n", recordNumber);
            return false;
        }
    }
    return true;
}

} // namespace q57
