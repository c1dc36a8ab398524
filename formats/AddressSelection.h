// SPDX-License-Identifier: MIT
#pragma once
// The address selection of a contact: an 8-bit mask of the addresses the device
// offers for sending, written in the file as a bracketed list of two-letter codes.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace q57 {

class StatusLog;

struct SelectionCode {
    uint8_t bit;
    const char *code;        // "WA" ...
    const char *messageName; // "Wireless Address (WA)" ...
};

// In bit order.
extern const std::array<SelectionCode, 8> SelectionCodes;

// "[" + the codes of the set bits in bit order, separated by "," + "]".
std::string formatSelectionCodes(uint8_t mask);

// Reads a code list such as "[WA,HE]" (any case, spaces ignored) into `mask`,
// logging its findings against `recordNumber`. On failure `mask` holds the codes
// accepted until then.
bool parseAddressSelection(StatusLog &log, long recordNumber, std::string_view text, uint8_t &mask);

} // namespace q57
