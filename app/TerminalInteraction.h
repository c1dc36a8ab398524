// SPDX-License-Identifier: MIT
#pragma once
// The command-line front end's UserInteraction. Messages go to standard error as
// "Q57 Backup: <text>". Questions are asked on the controlling terminal; in
// yes-to-all mode (--yes) they are answered OK/Yes without asking, and with no
// terminal they are answered Cancel/No, so an unattended run never overwrites or
// clears anything it was not told to. Once the user has interrupted the job,
// questions are answered Cancel/No too, also one that is waiting for its answer.
// Control characters in the texts (file names, labels) are shown escaped. The
// job notices do nothing here: the command-line front end derives from this
// class when it wants to show them.

#include "app/UserInteraction.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace q57 {

class TerminalInteraction : public UserInteraction {
public:
    // Asks on /dev/tty, or on standard input when that is a terminal.
    explicit TerminalInteraction(bool yesToAll);
    // Messages and prompts go to `output`; answers are read from the descriptor
    // `terminal` (-1: there is no terminal to ask), which stays the caller's.
    TerminalInteraction(bool yesToAll, std::FILE *output, int terminal);
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

    // The user interrupted the job: a question waiting for its answer returns
    // Cancel/No at once, and so does every later one. May be called from any
    // thread while another one asks.
    void cancelQuestions();

private:
    void openWakePipe();
    // Prints the question with its choices and reads one line of answer.
    bool ask(const std::string &text, const char *choices, const char *acceptedWord, const char *decliningWord);
    // One line typed on the terminal, lower-cased and trimmed; false when the
    // questions were cancelled while it waited.
    bool readAnswerLine(std::string &line);
    // Waits until the terminal has input (true) or the questions are cancelled.
    bool waitForInput();

    std::mutex mutex_; // one message or question at a time, from either thread
    bool yesToAll_;
    std::FILE *output_;
    int terminal_ = -1;
    bool ownsTerminal_ = false;
    std::atomic<bool> cancelled_{false};
    int wakeEnds_[2] = {-1, -1}; // cancelQuestions() writes a byte to wake a waiting question
};

} // namespace q57
