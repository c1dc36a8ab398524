// SPDX-License-Identifier: MIT
#pragma once
// The command line's UserInteraction: the terminal's messages and questions,
// plus a progress bar per item on standard error when that is a terminal, and
// the status log's lines echoed to standard output. A message or log line that
// arrives while a bar is drawn first ends the bar's line.

#include "app/TerminalInteraction.h"

#include <mutex>
#include <string>

namespace q57::cli {

class CliInteraction : public TerminalInteraction {
public:
    explicit CliInteraction(bool yesToAll);

    void showMessage(const std::string &text) override;
    void progressNotice(int bar, int percent) override;

    // Writes a status log text to standard output, control characters escaped.
    void echoLog(const std::string &text);

    // The bar's line as drawn: "Preferences   [#####...............]  25%".
    static std::string barLine(int bar, int percent);

private:
    void endBarLine();

    std::mutex mutex_;
    bool drawBars_;
    int activeBar_ = -1; // the bar whose line is open, -1 for none
};

} // namespace q57::cli
