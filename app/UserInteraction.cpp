// SPDX-License-Identifier: MIT
#include "UserInteraction.h"

#include <cstdio>

namespace q57 {

const char *statusText(int index)
{
    static const char *const texts[] = {
        "",
        "Validating File",
        "Connecting to Q57 Device",
        "Disconnecting Q57 Device",
        "Unavailable",
        "Backup In Progress...",
        "Restore In Progress...",
        "Backup Completed",
        "Restore Completed",
        "Clearing Address Book",
        "Rebuilding Address Book",
    };
    if (index < 0 || index >= static_cast<int>(sizeof texts / sizeof texts[0]))
        return "";
    return texts[index];
}

std::string formatText(const char *format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed <= 0)
        return {};
    std::string text(static_cast<size_t>(needed) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<size_t>(needed));
    return text;
}

std::string formatText(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = formatText(format, args);
    va_end(args);
    return text;
}

void showMessage(UserInteraction &ui, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = formatText(format, args);
    va_end(args);
    ui.showMessage(text);
}

} // namespace q57
