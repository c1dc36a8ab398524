#include "app/TerminalInteraction.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace q57 {
namespace {

struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string contents(std::FILE *file)
{
    std::fflush(file);
    std::rewind(file);
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
        text += static_cast<char>(c);
    return text;
}

// A terminal that answers with `typed`; none when `typed` is null.
File terminalTyping(const char *typed)
{
    if (typed == nullptr)
        return nullptr;
    File file(std::tmpfile());
    std::fputs(typed, file.get());
    std::rewind(file.get());
    return file;
}

TEST(TerminalInteraction, MessagesGoToTheOutputWithTheProgramName)
{
    File output(std::tmpfile());
    TerminalInteraction terminal(false, output.get(), nullptr);
    showMessage(terminal, "Unable to backup %s. [%d]", "Memos", 3);
    terminal.showMessage("second");
    EXPECT_EQ(contents(output.get()), "Q57 Backup: Unable to backup Memos. [3]\nQ57 Backup: second\n");
}

struct AnswerCase {
    const char *name;
    bool yesToAll;
    const char *typed; // null: no terminal
    bool expectOk;     // the answer to an OK/Cancel question
    bool expectYes;    // the answer to a Yes/No question
};

class TerminalAnswers : public testing::TestWithParam<AnswerCase> {};

TEST_P(TerminalAnswers, AnswerBothKindsOfQuestion)
{
    const AnswerCase &c = GetParam();
    File output(std::tmpfile());
    File okTerminal = terminalTyping(c.typed);
    TerminalInteraction forOk(c.yesToAll, output.get(), okTerminal.get());
    EXPECT_EQ(forOk.askOkCancel("Overwrite file?"), c.expectOk);

    File yesTerminal = terminalTyping(c.typed);
    TerminalInteraction forYes(c.yesToAll, output.get(), yesTerminal.get());
    EXPECT_EQ(forYes.askYesNo("Clear Address Book", "Are you sure?"), c.expectYes);

    const std::string shown = contents(output.get());
    EXPECT_NE(shown.find("Q57 Backup: Overwrite file? [ok/cancel]"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Q57 Backup: Clear Address Book: Are you sure? [yes/no]"), std::string::npos) << shown;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TerminalAnswers,
    testing::Values(AnswerCase{"YesToAllNeverReads", true, "no\n", true, true},
                    AnswerCase{"YesToAllWithoutTerminal", true, nullptr, true, true},
                    AnswerCase{"NoTerminalDeclines", false, nullptr, false, false},
                    AnswerCase{"TypedY", false, "y\n", true, true},
                    AnswerCase{"TypedYesInCapitalsWithSpaces", false, "  YES \n", true, true},
                    AnswerCase{"TypedOk", false, "ok\n", true, false},
                    AnswerCase{"TypedNo", false, "n\n", false, false},
                    AnswerCase{"EmptyLine", false, "\n", false, false},
                    AnswerCase{"EndOfInput", false, "", false, false}),
    [](const testing::TestParamInfo<AnswerCase> &info) { return std::string(info.param.name); });

TEST(TerminalInteraction, SuccessiveQuestionsReadSuccessiveLines)
{
    File output(std::tmpfile());
    File typed = terminalTyping("yes\nno\nok\n");
    TerminalInteraction terminal(false, output.get(), typed.get());
    EXPECT_TRUE(terminal.askYesNo("", "first?"));
    EXPECT_FALSE(terminal.askYesNo("", "second?"));
    EXPECT_TRUE(terminal.askOkCancel("third?"));
}

} // namespace
} // namespace q57
