// SPDX-License-Identifier: MIT
#pragma once
// One format context for a fuzz target, reused across inputs. The status log
// stays closed, so findings are formatted and dropped.

#include "app/DataItem.h"
#include "app/ScriptedInteraction.h"
#include "app/StatusLog.h"
#include "formats/FormatContext.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace q57::fuzz {

struct FuzzWorld {
    FuzzWorld() : context(log, ui, addressBook, quicktext) { addressBook.displayName = "Address Book"; }

    // Runs `handler` over the bytes; returns its result and leaves its output in `output`.
    bool run(PassHandler handler, const std::string &input)
    {
        std::istringstream in(input, std::ios::binary);
        std::ostringstream out(std::ios::binary);
        const bool ok = handler(context, in, out);
        output = out.str();
        ui.clearEvents();
        return ok;
    }

    StatusLog log;
    ScriptedInteraction ui;
    DataItem addressBook;
    DataItem quicktext;
    FormatContext context;
    std::string output;
};

inline std::string bytes(const uint8_t *data, size_t size)
{
    return std::string(reinterpret_cast<const char *>(data), size);
}

} // namespace q57::fuzz
