// SPDX-License-Identifier: MIT
#include "cli/CliInteraction.h"

#include "app/PrintableText.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace q57::cli {

namespace {

constexpr int BarWidth = 30;
// Bars 4 to 6 all show the quicktext.
constexpr const char *BarNames[] = {"Preferences", "Address Book", "Folders", "Memos", "Quicktext"};

} // namespace

CliInteraction::CliInteraction(bool yesToAll) : TerminalInteraction(yesToAll), drawBars_(isatty(STDERR_FILENO) == 1) {}

std::string CliInteraction::barLine(int bar, int percent)
{
    percent = std::clamp(percent, 0, 100);
    const int filled = percent * BarWidth / 100;
    char line[96];
    std::snprintf(line, sizeof line, "%-13s [%s%s] %3d%%", BarNames[std::min(bar, 4)],
                  std::string(static_cast<size_t>(filled), '#').c_str(),
                  std::string(static_cast<size_t>(BarWidth - filled), '.').c_str(), percent);
    return line;
}

void CliInteraction::endBarLine()
{
    if (activeBar_ < 0)
        return;
    std::fputc('\n', stderr);
    std::fflush(stderr);
    activeBar_ = -1;
}

void CliInteraction::progressNotice(int bar, int percent)
{
    if (!drawBars_ || bar < 0 || bar > 6)
        return;
    std::lock_guard lock(mutex_);
    const int shown = std::min(bar, 4);
    if (shown != activeBar_) {
        if (percent <= 0)
            return; // the reset of every bar when a job starts draws nothing
        endBarLine();
        activeBar_ = shown;
    }
    std::fprintf(stderr, "\r%s", barLine(shown, percent).c_str());
    std::fflush(stderr);
    if (percent >= 100)
        endBarLine();
}

void CliInteraction::showMessage(const std::string &text)
{
    {
        std::lock_guard lock(mutex_);
        endBarLine();
    }
    TerminalInteraction::showMessage(text);
}

void CliInteraction::echoLog(const std::string &text)
{
    const std::string shown = printableText(text);
    std::lock_guard lock(mutex_);
    endBarLine();
    std::fwrite(shown.data(), 1, shown.size(), stdout);
    std::fflush(stdout);
}

} // namespace q57::cli
