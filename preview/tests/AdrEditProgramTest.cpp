// SPDX-License-Identifier: MIT
// q57adredit's command line, up to where the editor would open, and the
// files it refuses before that: none of them may keep it waiting (a test that
// hangs here until ctest's time-out is the fault).
#include "tests/support/ChildProgram.h"
#include "tests/support/FileBytes.h"
#include "tests/support/HostileFiles.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace q57::preview::test {
namespace {

struct Outcome {
    int status = -1;
    std::string output; // standard output and error together
};

Outcome runAdrEdit(const std::string &arguments)
{
    Outcome outcome;
    const std::string command =
        std::string("QT_QPA_PLATFORM=offscreen '") + ADREDIT_PROGRAM + "' " + arguments + " 2>&1";
    FILE *pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return outcome;
    std::array<char, 256> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr)
        outcome.output += buffer.data();
    const int status = ::pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

// --version is checked with every other program's (desktop/tests).
TEST(AdrEditProgram, HelpAndFilesItCannotRead)
{
    const Outcome help = runAdrEdit("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output.rfind("usage: q57adredit FILE.adr\n", 0), 0u);

    EXPECT_EQ(runAdrEdit("").status, 2);
    EXPECT_EQ(runAdrEdit("a.adr b.adr").status, 2);

    const std::filesystem::path root = q57::testing::makeScratchFolder("q57-adredit");
    const Outcome folder = runAdrEdit("'" + root.string() + "'");
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.output, "q57adredit: cannot read " + root.string() + "\n");
    std::filesystem::remove_all(root);
}

using q57::testing::Hostile;

struct HostileBook {
    const char *name;
    Hostile kind;
    std::string reason; // after "q57adredit: "; %s stands for the path
};

std::string shownReason(const std::string &reason, const std::string &path)
{
    const size_t at = reason.find("%s");
    return reason.substr(0, at) + path + reason.substr(at + 2);
}

class AdrEditRefuses : public ::testing::TestWithParam<HostileBook> {};

// Each is refused at once with a message on standard error and exit 1, before
// any window opens.
TEST_P(AdrEditRefuses, WithAMessageAndExitOne)
{
    const std::filesystem::path root = q57::testing::makeScratchFolder("q57-adredit");
    const HostileBook &c = GetParam();
    const std::string path = q57::testing::plantHostile(c.kind, root, "book.adr", 2 * 1024 * 1024).string();
    const Outcome outcome = runAdrEdit("'" + path + "'");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.output, "q57adredit: " + shownReason(c.reason, path) + "\n");
    std::filesystem::remove_all(root);
}

const std::string NotRegular = "'%s' is not a regular file.";

INSTANTIATE_TEST_SUITE_P(HostileFiles, AdrEditRefuses,
                         ::testing::Values(HostileBook{"fifo", Hostile::Fifo, NotRegular},
                                           HostileBook{"device", Hostile::Device, NotRegular},
                                           HostileBook{"link_to_a_device", Hostile::LinkToDevice, NotRegular},
                                           HostileBook{"folder", Hostile::Folder, "cannot read %s"},
                                           HostileBook{"one_byte_over_the_limit", Hostile::OverLimit,
                                                       "File '%s' is larger than 2 MiB, the limit for Address "
                                                       "Book files."}),
                         [](const ::testing::TestParamInfo<HostileBook> &info) { return std::string(info.param.name); });

// Starts q57adredit on `argument` from `folder` with standard error in the
// file "stderr" there, and waits until its editor has been built (it logs its
// Save shortcut), that is until QApplication has taken its options.
class RunningEditor {
public:
    RunningEditor(const std::filesystem::path &folder, const std::string &argument) : err_(folder / "stderr")
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("QT_LOGGING_RULES", "qt.gui.shortcutmap.debug=true", 1);
        const int errFd = ::open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const int in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        const std::filesystem::path saved = std::filesystem::current_path();
        std::filesystem::current_path(folder); // so that the argument is a bare name
        pid_ = q57::testing::startChildProgram({ADREDIT_PROGRAM, argument}, {.in = in, .err = errFd});
        std::filesystem::current_path(saved);
        ::close(errFd);
        ::close(in);
        unsetenv("QT_LOGGING_RULES");
    }
    ~RunningEditor()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    // The editor's standard error once its window is built; empty when it
    // ended before that.
    std::string errorsOnceUp()
    {
        for (;;) {
            const std::string text = q57::testing::readWhole(err_);
            if (text.find("QKeySequence(\"Ctrl+S\")") != std::string::npos)
                return text;
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return {};
            }
            ::usleep(10000); // polling the condition above, not a fixed wait
        }
    }

private:
    std::filesystem::path err_;
    pid_t pid_ = -1;
};

// FILE is the program's own argument, even when it is spelt like one of Qt's
// options: Qt never sees it (here it would load the broken style sheet x.qss).
TEST(AdrEditProgram, FileSpeltLikeAQtOptionIsOnlyTheFile)
{
    const std::filesystem::path root = q57::testing::makeScratchFolder("q57-adredit");
    std::ofstream(root / "x.qss") << "QWidget { color: ";
    RunningEditor editor(root, "-stylesheet=x.qss");
    const std::string errors = editor.errorsOnceUp();
    EXPECT_FALSE(errors.empty()) << "the editor ended before its window was built";
    EXPECT_EQ(errors.find("stylesheet"), std::string::npos) << errors;
    std::filesystem::remove_all(root);
}

// A FILE that does not exist yet is a new, empty book, no error: the editor
// comes up, says nothing about the file, and leaves it to Save to create.
TEST(AdrEditProgram, MissingFileOpensAnEmptyBook)
{
    const std::filesystem::path root = q57::testing::makeScratchFolder("q57-adredit");
    {
        RunningEditor editor(root, "new.adr");
        const std::string errors = editor.errorsOnceUp();
        EXPECT_FALSE(errors.empty()) << "the editor ended before its window was built";
        EXPECT_EQ(errors.find("q57adredit:"), std::string::npos) << errors;
        EXPECT_FALSE(std::filesystem::exists(root / "new.adr")) << "made only by Save";
    }
    std::filesystem::remove_all(root);
}

} // namespace
} // namespace q57::preview::test
