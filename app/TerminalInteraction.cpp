// SPDX-License-Identifier: MIT
#include "app/TerminalInteraction.h"

#include "app/PrintableText.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <string>

namespace q57 {

namespace {

constexpr const char *Prefix = "Q57 Backup: ";

int openTerminal(bool &owned)
{
    owned = false;
    const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty >= 0) {
        owned = true;
        return tty;
    }
    return ::isatty(STDIN_FILENO) ? STDIN_FILENO : -1;
}

void trim(std::string &line)
{
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
        line.pop_back();
    size_t begin = 0;
    while (begin < line.size() && std::isspace(static_cast<unsigned char>(line[begin])))
        ++begin;
    line.erase(0, begin);
}

} // namespace

TerminalInteraction::TerminalInteraction(bool yesToAll) : yesToAll_(yesToAll), output_(stderr)
{
    // Only ask for the terminal when it can be used: yes-to-all never asks.
    if (!yesToAll_)
        terminal_ = openTerminal(ownsTerminal_);
    openWakePipe();
}

TerminalInteraction::TerminalInteraction(bool yesToAll, std::FILE *output, int terminal)
    : yesToAll_(yesToAll), output_(output), terminal_(terminal)
{
    openWakePipe();
}

TerminalInteraction::~TerminalInteraction()
{
    if (ownsTerminal_)
        ::close(terminal_);
    for (const int end : wakeEnds_) {
        if (end >= 0)
            ::close(end);
    }
}

void TerminalInteraction::openWakePipe()
{
    // Without the pipe a waiting question still notices a cancel at its next typed byte.
    if (::pipe2(wakeEnds_, O_CLOEXEC | O_NONBLOCK) != 0)
        wakeEnds_[0] = wakeEnds_[1] = -1;
}

void TerminalInteraction::cancelQuestions()
{
    cancelled_ = true;
    const char byte = 1;
    if (wakeEnds_[1] >= 0) {
        // A full pipe already holds a wake-up.
        [[maybe_unused]] const ssize_t written = ::write(wakeEnds_[1], &byte, 1);
    }
}

void TerminalInteraction::showMessage(const std::string &text)
{
    std::lock_guard lock(mutex_);
    std::fprintf(output_, "%s%s\n", Prefix, printableText(text).c_str());
    std::fflush(output_);
}

bool TerminalInteraction::askOkCancel(const std::string &text)
{
    return ask(text, "[ok/cancel]", "ok", "cancel");
}

bool TerminalInteraction::askYesNo(const std::string &title, const std::string &text)
{
    return ask(title.empty() ? text : title + ": " + text, "[yes/no]", "yes", "no");
}

bool TerminalInteraction::ask(const std::string &text, const char *choices, const char *acceptedWord,
                              const char *decliningWord)
{
    std::lock_guard lock(mutex_);
    std::fprintf(output_, "%s%s %s ", Prefix, printableText(text).c_str(), choices);
    if (yesToAll_ || terminal_ < 0) {
        std::fprintf(output_, "%s\n", yesToAll_ ? acceptedWord : "(no terminal: answered no)");
        std::fflush(output_);
        return yesToAll_;
    }
    std::fflush(output_);
    std::string answer;
    if (!readAnswerLine(answer)) {
        std::fprintf(output_, "(interrupted: answered %s)\n", decliningWord);
        std::fflush(output_);
        return false;
    }
    // "y" answers both questions, as does the full word of the accepting choice.
    return answer == acceptedWord || answer == "y" || answer == "yes";
}

bool TerminalInteraction::readAnswerLine(std::string &line)
{
    // Byte by byte, straight from the descriptor: whatever follows the line stays
    // unread for the next question, and no buffer hides input from poll().
    line.clear();
    for (;;) {
        if (!waitForInput())
            return false;
        char c = 0;
        const ssize_t n = ::read(terminal_, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || c == '\n')
            break;
        line += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    trim(line);
    return true;
}

bool TerminalInteraction::waitForInput()
{
    for (;;) {
        if (cancelled_)
            return false;
        pollfd ready[2] = {{terminal_, POLLIN, 0}, {wakeEnds_[0], POLLIN, 0}};
        const int count = ::poll(ready, wakeEnds_[0] >= 0 ? 2 : 1, -1);
        if (count < 0 && errno != EINTR)
            return !cancelled_; // the read that follows reports the terminal's trouble
        if (count > 0 && ready[0].revents != 0)
            return !cancelled_;
    }
}

} // namespace q57
