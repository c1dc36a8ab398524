// SPDX-License-Identifier: MIT
#pragma once
// Where the outcome of a merge action goes, and how it gets there: always by
// replacing the target whole, never by writing into it.

#include <string>

namespace q57 {

struct DataItem;
struct MergeServices;

// Puts `outcome` (a finished file in the temporary folder) in place of
// `target`, keeping the target's mode and any link leading to it. False after
// "Unable to save the address book to '<target>'." with where `outcome` is
// kept; `outcome` is gone after success.
bool placeOutcome(const std::string &outcome, const std::string &target, const MergeServices &services);

// Modes 1 and 2: the item's file is first copied, and flushed to disk, to a
// new versioned copy beside it, "<file name>.<UTC time>.bak" (with "-2", "-3"
// before ".bak" when that name is taken), so that no later preview overwrites
// it; nothing to copy when the file is missing. Then `outcome` replaces it. A
// copy that fails leaves the item's file as it is and `outcome` kept, after a
// message.
bool placeOverItemFile(const std::string &outcome, const DataItem &item, const MergeServices &services);

// Creates `path` new (never through a leftover link) holding `bytes`; false
// when any byte did not reach the file.
bool writeNewFile(const std::string &path, const std::string &bytes);

} // namespace q57
