// SPDX-License-Identifier: MIT
#pragma once
// Field-level helpers of the address book forms: decimal values, character
// classes and the TAB-separated field split.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace q57 {

// The value of an unsigned decimal field: 0 when it is empty or holds anything
// but "0" to "9"; reading stops once the value reaches 2^28, which is returned.
uint32_t parseDecimal(std::string_view text);
// Decimal digits without leading zeros ("0" for 0).
std::string writeDecimal(uint32_t value);
// Every character is "0" to "9" (an empty field is all digits).
bool allDigits(std::string_view text);
// A Year, Month/Day or Hour/Min field holding any character that is not a
// hexadecimal digit becomes as many "0" characters.
void zeroFillTimestamp(std::string &field);
// The text up to the first TAB, CR or LF, at most `limit` characters.
std::string_view nextField(std::string_view text, size_t limit);

} // namespace q57
