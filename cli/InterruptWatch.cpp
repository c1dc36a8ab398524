#include "cli/InterruptWatch.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace q57::cli {

namespace {

// The pipe's ends; the handler may only use async-signal-safe calls.
int wakeEnds[2] = {-1, -1};
struct sigaction previousInt;
struct sigaction previousTerm;

void onInterrupt(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(wakeEnds[1], &byte, 1);
    errno = saved;
}

} // namespace

InterruptWatch::InterruptWatch()
{
    if (pipe2(wakeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        wakeEnds[0] = wakeEnds[1] = -1;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
}

InterruptWatch::~InterruptWatch()
{
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
    for (int &end : wakeEnds) {
        if (end >= 0)
            close(end);
        end = -1;
    }
}

bool InterruptWatch::waitForInterrupt(int timeoutMs)
{
    pollfd ready{wakeEnds[0], POLLIN, 0};
    if (wakeEnds[0] < 0 || poll(&ready, 1, timeoutMs) <= 0)
        return false;
    char bytes[16];
    bool any = false;
    while (read(wakeEnds[0], bytes, sizeof bytes) > 0)
        any = true;
    return any;
}

} // namespace q57::cli
