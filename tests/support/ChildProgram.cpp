#include "tests/support/ChildProgram.h"

#include <unistd.h>

namespace q57::testing {

pid_t startChildProgram(const std::vector<std::string> &words, const ChildStreams &streams)
{
    std::vector<std::string> copies = words;
    std::vector<char *> argv;
    for (std::string &word : copies)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid != 0)
        return pid;
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
