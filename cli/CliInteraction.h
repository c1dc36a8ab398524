// SPDX-License-Identifier: MIT
#pragma once
// The command line's UserInteraction: the terminal's messages and questions,
// plus a progress bar per item on standard error when that is a terminal, and
// the status log's lines echoed to standard output. Each bar ends with one
// line at 100%; a message, question or log line that arrives while a bar is
// drawn first ends the bar's line, and so does the end at once (endOpenLine).

#include "app/TerminalInteraction.h"

#include <mutex>
#include <string>

namespace q57::cli {

class CliInteraction : public TerminalInteraction {
public:
    explicit CliInteraction(bool yesToAll);
    // Messages, prompts and bars go to `output`, bars only when `drawBars`;
    // `terminal` as TerminalInteraction's.
    CliInteraction(bool yesToAll, std::FILE *output, int terminal, bool drawBars);

    void showMessage(const std::string &text) override;
    bool askOkCancel(const std::string &text) override;
    bool askYesNo(const std::string &title, const std::string &text) override;
    void progressNotice(int bar, int percent) override;

    // Ends the line of a bar still being drawn, before the program ends
    // without another word.
    void endOpenLine();

    // Writes a status log text to standard output, control characters escaped.
    void echoLog(const std::string &text);

    // The bar's line as drawn: "Preferences   [#####...............]  25%".
    static std::string barLine(int bar, int percent);

private:
    void endBarLine();

    std::mutex mutex_;
    std::FILE *output_;
    bool drawBars_;
    int activeBar_ = -1;   // the bar whose line is open, -1 for none
    int finishedBar_ = -1; // the bar whose 100% line was written last, -1 for none
};

} // namespace q57::cli
