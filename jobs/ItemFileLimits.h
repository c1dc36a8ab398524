// SPDX-License-Identifier: MIT
#pragma once
// How a job reads a user's item file: through files/BoundedFile.h, with the
// size limit of the item's format, so that a FIFO, a device, a folder or a
// file far larger than any the device could hold is refused up front instead
// of hanging the job or filling the disk.

#include "app/ItemCatalogue.h"
#include "files/BoundedFile.h"

#include <cstdint>
#include <string>

namespace q57 {

// The largest file the item's reader takes (formats/FileSizeLimits.h).
std::uint64_t itemFileLimit(ItemId id);

// Opens the item's file for reading within its limit; see BoundedFile.
BoundedFile openItemFile(ItemId id, const std::string &path);

} // namespace q57
