// SPDX-License-Identifier: MIT
// q57adredit's command line, up to where the editor would open.
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
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

} // namespace
} // namespace q57::preview::test
