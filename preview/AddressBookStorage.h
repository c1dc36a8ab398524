// SPDX-License-Identifier: MIT
#pragma once
// Reading an address book file and replacing it whole with the edited book.

#include "preview/AddressBookDocument.h"

#include <optional>
#include <string>

namespace q57::preview {

// Refused: a FIFO, a device or a socket, or a file larger than
// AddressBookFileLimit; nothing was read.
enum class LoadResult { Loaded, Missing, Unreadable, Refused };

// Reads the file at `path` into `document` through BoundedFile (never
// blocking, at most AddressBookFileLimit bytes); a missing file leaves it
// empty. When the file is not loaded, `reason` (when given) holds the message
// for the user, naming the file and, for a file too large, the limit.
LoadResult loadAddressBook(const std::string &path, AddressBookDocument &document, std::string *reason = nullptr);

// Writes the book to a fresh file beside `path` and puts it in place of
// `path` in one step (its mode and any symbolic link to it kept). False, with
// `path` unchanged, when any write fails.
bool saveAddressBook(const AddressBookDocument &document, const std::string &path);

} // namespace q57::preview
