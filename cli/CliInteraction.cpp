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

CliInteraction::CliInteraction(bool yesToAll)
    : TerminalInteraction(yesToAll), output_(stderr), drawBars_(isatty(STDERR_FILENO) == 1)
{
}

CliInteraction::CliInteraction(bool yesToAll, std::FILE *output, int terminal, bool drawBars)
    : TerminalInteraction(yesToAll, output, terminal), output_(output), drawBars_(drawBars)
{
}

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
    std::fputc('\n', output_);
    std::fflush(output_);
    activeBar_ = -1;
}

void CliInteraction::endOpenLine()
{
    std::lock_guard lock(mutex_);
    endBarLine();
}

void CliInteraction::progressNotice(int bar, int percent)
{
    if (!drawBars_ || bar < 0 || bar > 6)
        return;
    std::lock_guard lock(mutex_);
    const int shown = std::min(bar, 4);
    if (shown != activeBar_) {
        if (percent <= 0) {
            // The reset of every bar when a job starts draws nothing, and lets
            // a finished bar be drawn again.
            if (shown == finishedBar_)
                finishedBar_ = -1;
            return;
        }
        if (shown == finishedBar_ && percent >= 100)
            return; // its 100% line is already written
        endBarLine();
        activeBar_ = shown;
        finishedBar_ = -1;
    }
    std::fprintf(output_, "\r%s", barLine(shown, percent).c_str());
    std::fflush(output_);
    if (percent >= 100) {
        endBarLine();
        finishedBar_ = shown;
    }
}

void CliInteraction::showMessage(const std::string &text)
{
    endOpenLine();
    TerminalInteraction::showMessage(text);
}

bool CliInteraction::askOkCancel(const std::string &text)
{
    endOpenLine();
    return TerminalInteraction::askOkCancel(text);
}

bool CliInteraction::askYesNo(const std::string &title, const std::string &text)
{
    endOpenLine();
    return TerminalInteraction::askYesNo(title, text);
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
