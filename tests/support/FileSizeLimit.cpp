// SPDX-License-Identifier: MIT
#include "tests/support/FileSizeLimit.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace q57::testing {

LimitedRun runWithFileSizeLimit(rlim_t limit, const std::function<bool(std::vector<std::string> &messages)> &step)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        // Without this the write past the limit ends the child instead of failing.
        signal(SIGXFSZ, SIG_IGN);
        const rlimit small{limit, limit};
        setrlimit(RLIMIT_FSIZE, &small);
        std::vector<std::string> messages;
        const bool ok = step(messages);
        std::string text;
        for (const std::string &message : messages)
            text += message + '\0';
        [[maybe_unused]] const ssize_t written = write(pipeEnds[1], text.data(), text.size());
        _exit(ok ? 0 : 1);
    }
    close(pipeEnds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(got));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    LimitedRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    for (size_t start = 0, end; (end = text.find('\0', start)) != std::string::npos; start = end + 1)
        run.messages.push_back(text.substr(start, end - start));
    return run;
}

} // namespace q57::testing
