#include "tests/support/ChildProgram.h"

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace q57::testing {

pid_t startChildProgram(const std::vector<std::string> &words, const ChildStreams &streams)
{
    std::vector<std::string> copies = words;
    std::vector<char *> argv;
    for (std::string &word : copies)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    // A test that dies (an abort, a sanitizer's report) takes its children with
    // it: a simulator left running would keep the test's output pipe open, so
    // that ctest waits for the test's time-out, and hold its port for the next test.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) // it died before the line above
        _exit(127);
    const int wiring[3][2] = {{streams.in, STDIN_FILENO}, {streams.out, STDOUT_FILENO}, {streams.err, STDERR_FILENO}};
    for (const auto &[from, to] : wiring)
        if (from >= 0)
            dup2(from, to);
    if (streams.newSession)
        setsid();
    execv(argv[0], argv.data());
    _exit(127);
}

} // namespace q57::testing
