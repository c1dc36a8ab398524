// SPDX-License-Identifier: MIT
#include "app/PrintableText.h"
#include "app/TerminalInteraction.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <future>
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
    std::rewind(file.get()); // also moves the descriptor, which is what is read
    return file;
}

int descriptorOf(const File &file)
{
    return file ? fileno(file.get()) : -1;
}

TEST(TerminalInteraction, MessagesGoToTheOutputWithTheProgramName)
{
    File output(std::tmpfile());
    TerminalInteraction terminal(false, output.get(), -1);
    showMessage(terminal, "Unable to backup %s. [%d]", "Memos", 3);
    terminal.showMessage("second");
    EXPECT_EQ(contents(output.get()), "Q57 Backup: Unable to backup Memos. [3]\nQ57 Backup: second\n");
}

TEST(TerminalInteraction, ControlCharactersInMessagesAndQuestionsAreEscaped)
{
    File output(std::tmpfile());
    TerminalInteraction terminal(true, output.get(), -1);
    terminal.showMessage("Memo [\x1b[2J\r]:\nLabel\ttruncated.");
    terminal.askOkCancel(std::string("File b\0k\x7f.adr already exists.", 29));
    EXPECT_EQ(contents(output.get()), "Q57 Backup: Memo [\\x1B[2J\\x0D]:\nLabel\ttruncated.\n"
                                      "Q57 Backup: File b\\x00k\\x7F.adr already exists. [ok/cancel] ok\n");
}

TEST(PrintableText, EscapesControlCharactersOnly)
{
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"plain text", "plain text"},
        {"line\nand\ttab", "line\nand\ttab"},
        {std::string("\0\x01\x1f\x7f", 4), "\\x00\\x01\\x1F\\x7F"},
        {"\r\n", "\\x0D\n"},
        {"Gr\xc3\xbc\xc3\x9f\x65 \xff", "Gr\xc3\xbc\xc3\x9f\x65 \xff"}, // UTF-8 and other high bytes stay
        {"\\x1B stays", "\\x1B stays"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(printableText(c.text), c.shown) << c.shown;
        EXPECT_EQ(printableText(printableText(c.text)), c.shown) << "twice: " << c.shown;
    }
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
    TerminalInteraction forOk(c.yesToAll, output.get(), descriptorOf(okTerminal));
    EXPECT_EQ(forOk.askOkCancel("Overwrite file?"), c.expectOk);

    File yesTerminal = terminalTyping(c.typed);
    TerminalInteraction forYes(c.yesToAll, output.get(), descriptorOf(yesTerminal));
    EXPECT_EQ(forYes.askYesNo("Clear Address Book", "Are you sure?"), c.expectYes);

    const std::string shown = contents(output.get());
    EXPECT_NE(shown.find("Q57 Backup: Overwrite file? [ok/cancel]"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Q57 Backup: Clear Address Book: Are you sure? [yes/no]"), std::string::npos) << shown;
}

INSTANTIATE_TEST_SUITE_P(Cases, TerminalAnswers,
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
    TerminalInteraction terminal(false, output.get(), descriptorOf(typed));
    EXPECT_TRUE(terminal.askYesNo("", "first?"));
    EXPECT_FALSE(terminal.askYesNo("", "second?"));
    EXPECT_TRUE(terminal.askOkCancel("third?"));
}

// A question waits on a terminal where nothing is typed; cancelling answers it
// Cancel at once, and every later question too, whatever the user types then.
TEST(TerminalInteraction, CancellingAnswersAWaitingQuestion)
{
    int typedEnds[2], shownEnds[2];
    ASSERT_EQ(pipe2(typedEnds, O_CLOEXEC), 0);
    ASSERT_EQ(pipe2(shownEnds, O_CLOEXEC), 0);
    File output(fdopen(shownEnds[1], "w"));
    TerminalInteraction terminal(false, output.get(), typedEnds[0]);

    auto answer = std::async(std::launch::async, [&] { return terminal.askOkCancel("Overwrite?"); });
    const std::string prompt = "Q57 Backup: Overwrite? [ok/cancel] ";
    std::string shown;
    while (shown.size() < prompt.size()) {
        char c = 0;
        ASSERT_EQ(read(shownEnds[0], &c, 1), 1);
        shown += c;
    }
    EXPECT_EQ(shown, prompt);
    terminal.cancelQuestions();
    EXPECT_FALSE(answer.get());

    ASSERT_EQ(write(typedEnds[1], "yes\n", 4), 4);
    EXPECT_FALSE(terminal.askYesNo("Clear Address Book", "Are you sure?"));
    output.reset();
    std::string rest;
    char bytes[256];
    for (ssize_t n; (n = read(shownEnds[0], bytes, sizeof bytes)) > 0;)
        rest.append(bytes, static_cast<size_t>(n));
    EXPECT_EQ(rest, "(interrupted: answered cancel)\n"
                    "Q57 Backup: Clear Address Book: Are you sure? [yes/no] (interrupted: answered no)\n");
    for (const int end : {typedEnds[0], typedEnds[1], shownEnds[0]})
        close(end);
}

} // namespace
} // namespace q57
