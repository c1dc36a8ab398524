// SPDX-License-Identifier: MIT
#pragma once
// Starts one of the project's programs as a child process for a test or a
// benchmark, with its standard streams wired as the caller needs.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace q57::testing {

struct ChildStreams {
    int in = -1;             // descriptor to use as standard input; -1 keeps the parent's
    int out = -1;            // likewise standard output
    int err = -1;            // likewise standard error
    bool newSession = false; // no controlling terminal, as under CI or cron
};

// Runs words[0] with the arguments words[1...]; the child's descriptors in
// `streams` replace its standard streams. Returns the child's pid, -1 when
// fork failed. A program that cannot be started exits with status 127. The
// child gets SIGTERM when the thread that started it ends, so start it from
// the test's own thread.
pid_t startChildProgram(const std::vector<std::string> &words, const ChildStreams &streams = {});

// How a program run to its end went.
struct ChildOutcome {
    int exitCode = -1; // -1 when it did not exit by itself
    std::string out;
    std::string err;
};

// Runs words[0] to its end with standard input from /dev/null and no
// terminal to ask; its standard output and error pass through the files
// "stdout" and "stderr" in `scratch`, which a blocked pipe could never stall.
ChildOutcome runChildProgram(const std::vector<std::string> &words, const std::filesystem::path &scratch);

} // namespace q57::testing
