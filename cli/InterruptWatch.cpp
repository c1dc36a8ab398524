// SPDX-License-Identifier: MIT
#include "cli/InterruptWatch.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace q57::cli {

namespace {

constexpr char InterruptByte = 'I';
constexpr char TerminateByte = 'T';
constexpr char WakeByte = 'W';

// The pipe's ends; the handler may only use async-signal-safe calls.
int wakeEnds[2] = {-1, -1};
struct sigaction previousInt;
struct sigaction previousTerm;
// When the last SIGINT that counted arrived, in nanoseconds of CLOCK_MONOTONIC;
// only the handler reads and writes it once the watch is set up.
long long lastInterruptNs = 0;

void writeByte(char byte)
{
    const int saved = errno;
    // A full pipe already holds enough to wake the waiting thread.
    [[maybe_unused]] const ssize_t written = write(wakeEnds[1], &byte, 1);
    errno = saved;
}

long long monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now); // async-signal-safe
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// One Ctrl-C may arrive twice (GNU timeout signals the program and its
// process group): a SIGINT soon after the last one that counted is that same
// interrupt again.
bool repeatedInterrupt()
{
    const long long now = monotonicNs();
    if (lastInterruptNs != 0 && now - lastInterruptNs < InterruptWatch::SameInterruptMs * 1000000LL)
        return true;
    lastInterruptNs = now;
    return false;
}

void onSignal(int number)
{
    if (number == SIGTERM)
        writeByte(TerminateByte);
    else if (!repeatedInterrupt())
        writeByte(InterruptByte);
}

sigset_t watchedSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

} // namespace

InterruptWatch::InterruptWatch()
{
    if (pipe2(wakeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        wakeEnds[0] = wakeEnds[1] = -1;
    lastInterruptNs = 0;
    struct sigaction action {};
    action.sa_handler = onSignal;
    // The handler does not interrupt itself, so it alone keeps lastInterruptNs.
    action.sa_mask = watchedSignals();
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

InterruptWatch::Arrivals InterruptWatch::wait(int timeoutMs)
{
    Arrivals arrivals;
    pollfd ready{wakeEnds[0], POLLIN, 0};
    if (wakeEnds[0] < 0 || poll(&ready, 1, timeoutMs) <= 0)
        return arrivals;
    char bytes[16];
    for (ssize_t count; (count = read(wakeEnds[0], bytes, sizeof bytes)) > 0;) {
        for (ssize_t i = 0; i < count; ++i) {
            arrivals.interrupts += bytes[i] == InterruptByte;
            arrivals.terminate = arrivals.terminate || bytes[i] == TerminateByte;
            arrivals.woken = arrivals.woken || bytes[i] == WakeByte;
        }
    }
    return arrivals;
}

void InterruptWatch::wake()
{
    if (wakeEnds[1] >= 0)
        writeByte(WakeByte);
}

InterruptWatch::QuietThreads::QuietThreads()
{
    const sigset_t signals = watchedSignals();
    pthread_sigmask(SIG_BLOCK, &signals, &previous_);
}

InterruptWatch::QuietThreads::~QuietThreads()
{
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

} // namespace q57::cli
