// SPDX-License-Identifier: MIT
#include "tests/support/AnotherUser.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace q57::testing {

namespace {

constexpr int ChildFailed = 255;

bool becomeAnotherUser()
{
    // The groups go first: a process that is no longer root may not change them.
    return setgroups(0, nullptr) == 0 && setgid(AnotherUserId) == 0 && setuid(AnotherUserId) == 0;
}

bool writeAll(int fd, const std::string &text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

[[noreturn]] void runChild(int reportFd, const std::function<std::string()> &work)
{
    if (!becomeAnotherUser())
        _exit(ChildFailed);
    try {
        _exit(writeAll(reportFd, work()) ? 0 : ChildFailed);
    } catch (...) {
        _exit(ChildFailed); // must not unwind into the test program's own frames
    }
}

std::string readToEnd(int fd)
{
    std::string text;
    char chunk[4096];
    for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return text;
        text.append(chunk, static_cast<size_t>(n));
    }
}

} // namespace

std::optional<std::string> runAsAnotherUser(const std::function<std::string()> &work)
{
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return std::nullopt;
    const pid_t child = fork();
    if (child == 0) {
        close(report[0]);
        runChild(report[1], work);
    }
    close(report[1]);
    // Read before waiting: a long report would fill the pipe and stall the child.
    const std::string text = child > 0 ? readToEnd(report[0]) : std::string();
    close(report[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return text;
}

bool handToAnotherUser(const std::filesystem::path &tree)
{
    bool allChanged = lchown(tree.c_str(), AnotherUserId, AnotherUserId) == 0;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(tree, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error))
        allChanged = lchown(it->path().c_str(), AnotherUserId, AnotherUserId) == 0 && allChanged;
    return allChanged && !error;
}

} // namespace q57::testing
