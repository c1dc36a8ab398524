// SPDX-License-Identifier: MIT
#include "cli/ItemNames.h"

namespace q57::cli {

std::optional<ItemId> deviceItemNamed(const std::string &key)
{
    for (const ItemId id : DeviceItemIds) {
        if (key == ItemCatalogue::itemKey(id))
            return id;
    }
    return std::nullopt;
}

std::string deviceItemNames(const char *separator)
{
    std::string names;
    for (const ItemId id : DeviceItemIds) {
        if (!names.empty())
            names += separator;
        names += ItemCatalogue::itemKey(id);
    }
    return names;
}

} // namespace q57::cli
