#pragma once
// The command-line front end's UserInteraction. Messages go to standard error as
// "Q57 Backup: <text>". Questions are asked on the controlling terminal; in
// yes-to-all mode (--yes) they are answered OK/Yes without asking, and with no
// terminal they are answered Cancel/No, so an unattended run never overwrites or
// clears anything it was not told to. The job notices do nothing here: the
// command-line front end derives from this class when it wants to show them.

#include "app/UserInteraction.h"

#include <cstdio>
#include <mutex>

namespace q57 {

class TerminalInteraction : public UserInteraction {
public:
    // Asks on /dev/tty, or on standard input when that is a terminal.
    explicit TerminalInteraction(bool yesToAll);
    // Messages and prompts go to `output`; answers are read from `terminal`
    // (none: there is no terminal to ask).
    TerminalInteraction(bool yesToAll, std::FILE *output, std::FILE *terminal);
    ~TerminalInteraction() override;
    TerminalInteraction(const TerminalInteraction &) = delete;
    TerminalInteraction &operator=(const TerminalInteraction &) = delete;

    void showMessage(const std::string &text) override;
    bool askOkCancel(const std::string &text) override;
    bool askYesNo(const std::string &title, const std::string &text) override;

    void statusNotice(int) override {}
    void progressNotice(int, int) override {}
    void jobEndNotice(bool) override {}
    void quitNotice() override {}

private:
    // Prints the question with its choices and reads one line of answer.
    bool ask(const std::string &text, const char *choices, const char *acceptedWord);

    std::mutex mutex_; // one message or question at a time, from either thread
    bool yesToAll_;
    std::FILE *output_;
    std::FILE *terminal_;
    bool ownsTerminal_ = false;
};

} // namespace q57
