#include "app/TerminalInteraction.h"

#include <cctype>
#include <string>
#include <unistd.h>

namespace q57 {

namespace {

constexpr const char *Prefix = "Q57 Backup: ";

std::FILE *openTerminal(bool &owned)
{
    owned = false;
    if (std::FILE *tty = std::fopen("/dev/tty", "r+e")) {
        owned = true;
        return tty;
    }
    return ::isatty(STDIN_FILENO) ? stdin : nullptr;
}

std::string readAnswerLine(std::FILE *terminal)
{
    std::string line;
    for (int c = std::fgetc(terminal); c != EOF && c != '\n'; c = std::fgetc(terminal))
        line += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
        line.pop_back();
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.front())))
        line.erase(line.begin());
    return line;
}

} // namespace

TerminalInteraction::TerminalInteraction(bool yesToAll)
    : yesToAll_(yesToAll), output_(stderr), terminal_(nullptr)
{
    // Only ask for the terminal when it can be used: yes-to-all never asks.
    if (!yesToAll_)
        terminal_ = openTerminal(ownsTerminal_);
}

TerminalInteraction::TerminalInteraction(bool yesToAll, std::FILE *output, std::FILE *terminal)
    : yesToAll_(yesToAll), output_(output), terminal_(terminal)
{
}

TerminalInteraction::~TerminalInteraction()
{
    if (ownsTerminal_)
        std::fclose(terminal_);
}

void TerminalInteraction::showMessage(const std::string &text)
{
    std::lock_guard lock(mutex_);
    std::fprintf(output_, "%s%s\n", Prefix, text.c_str());
    std::fflush(output_);
}

bool TerminalInteraction::askOkCancel(const std::string &text)
{
    return ask(text, "[ok/cancel]", "ok");
}

bool TerminalInteraction::askYesNo(const std::string &title, const std::string &text)
{
    return ask(title.empty() ? text : title + ": " + text, "[yes/no]", "yes");
}

bool TerminalInteraction::ask(const std::string &text, const char *choices, const char *acceptedWord)
{
    std::lock_guard lock(mutex_);
    if (yesToAll_ || terminal_ == nullptr) {
        std::fprintf(output_, "%s%s %s %s\n", Prefix, text.c_str(), choices,
                     yesToAll_ ? acceptedWord : "(no terminal: answered no)");
        std::fflush(output_);
        return yesToAll_;
    }
    std::fprintf(output_, "%s%s %s ", Prefix, text.c_str(), choices);
    std::fflush(output_);
    const std::string answer = readAnswerLine(terminal_);
    const std::string accepted = acceptedWord;
    // "y" answers both questions, as does the full word of the accepting choice.
    return answer == accepted || answer == "y" || answer == "yes";
}

} // namespace q57
