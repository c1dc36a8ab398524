// SPDX-License-Identifier: MIT
#pragma once
// Bytes from a user's file or the device on their way to a terminal or a log:
// a control character in them could move the cursor, clear the screen or
// change the terminal's settings, so each is shown as "\xNN" instead.

#include <string>
#include <string_view>

namespace q57 {

// `text` with C0 controls (except "\n" and "\t") and DEL written as "\xNN"
// (two upper-case hex digits). Bytes from 0x80 up stay as they are, so UTF-8
// names remain readable. Applying it twice changes nothing more.
std::string printableText(std::string_view text);

} // namespace q57
