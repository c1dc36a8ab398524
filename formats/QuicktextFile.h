// SPDX-License-Identifier: MIT
#pragma once
// Quicktext: on the device a run of text TAB entries; on the computer a tagged
// text file ("<main>", "<text>...</text>" per entry, "</main>").

#include <iosfwd>

namespace q57 {

struct FormatContext;

// Device quicktext data to the quicktext file (backupPass1 of Quicktext).
bool quicktextToFile(FormatContext &context, std::istream &input, std::ostream &output);

// Quicktext file to device data (restorePass1 of Quicktext). Counts the entries
// in the Quicktext item's recordCount and fills the TextEntryTable; false after
// the first error, which is logged.
bool quicktextFromFile(FormatContext &context, std::istream &input, std::ostream &output);

} // namespace q57
