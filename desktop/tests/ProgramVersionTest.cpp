// SPDX-License-Identifier: MIT
// Every installed program answers --version with the project's one version,
// the window program without a display.
#include "q57/ProjectVersion.h"
#include "tests/support/ChildProgram.h"
#include "tests/support/UserWorld.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace q57::test {
namespace {

struct ProgramCase {
    const char *name;
    const char *path;
};

const ProgramCase programCases[] = {
    {"q57backup", Q57BACKUP_PROGRAM},
    {"q57backup-cli", Q57BACKUP_CLI_PROGRAM},
    {"q57sim", Q57SIM_PROGRAM},
    {"q57adredit", Q57ADREDIT_PROGRAM},
};

TEST(ProgramVersion, EveryProgramPrintsTheProjectVersion)
{
    const q57::testing::UserWorld world("q57-version");
    const std::filesystem::path &root = world.root();
    // Without a display a window program ends at once, before it could print.
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    ::unsetenv("QT_QPA_PLATFORM");

    for (const ProgramCase &program : programCases) {
        const q57::testing::ChildOutcome outcome = q57::testing::runChildProgram({program.path, "--version"}, root);
        EXPECT_EQ(outcome.exitCode, 0) << program.name << ": " << outcome.err;
        EXPECT_EQ(outcome.out, std::string(program.name) + " " + ProjectVersion + "\n");
        EXPECT_EQ(outcome.err, "") << program.name;
    }
}

} // namespace
} // namespace q57::test
