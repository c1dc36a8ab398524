// SPDX-License-Identifier: MIT
#pragma once
// The device items as the command line names them: by the catalogue's keys.

#include "app/ItemCatalogue.h"

#include <optional>
#include <string>

namespace q57::cli {

// The device item whose key is `key` ("addressBook"); nothing for another word.
std::optional<ItemId> deviceItemNamed(const std::string &key);
// Every device item's key in row order, joined by `separator`.
std::string deviceItemNames(const char *separator);

} // namespace q57::cli
