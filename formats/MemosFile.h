// SPDX-License-Identifier: MIT
#pragma once
// Memos: on the device a run of label TAB text TAB records; on the computer a
// tagged text file ("<main>", "<label>...</label>", "<text>...</text>",
// "</main>", lines ending in CR LF).

#include <iosfwd>

namespace q57 {

struct FormatContext;

// Device memo data to the memos file (backupPass1 of Memos).
bool memosToFile(FormatContext &context, std::istream &input, std::ostream &output);

// Memos file to device memo data (restorePass1 of Memos). Fills the context's
// TextEntryTable and textEntryCount; false after the first error, which is logged.
// With deviceLevelTwo set, labels are cut to 19 characters.
bool memosFromFile(FormatContext &context, std::istream &input, std::ostream &output);

} // namespace q57
