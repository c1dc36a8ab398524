// SPDX-License-Identifier: MIT
#pragma once
// Reading an address book file and replacing it whole with the edited book.

#include "preview/AddressBookDocument.h"

#include <optional>
#include <string>

namespace q57::preview {

enum class LoadResult { Loaded, Missing, Unreadable };

// Reads the file at `path` into `document`; a missing file leaves it empty.
LoadResult loadAddressBook(const std::string &path, AddressBookDocument &document);

// Writes the book to a fresh file beside `path` and puts it in place of
// `path` in one step (its mode and any symbolic link to it kept). False, with
// `path` unchanged, when any write fails.
bool saveAddressBook(const AddressBookDocument &document, const std::string &path);

} // namespace q57::preview
