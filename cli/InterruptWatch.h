// SPDX-License-Identifier: MIT
#pragma once
// Ctrl-C (SIGINT) and SIGTERM during a job: the signal handler only writes one
// byte to a pipe, which the front end's thread waits on next to the job. The
// job's thread wakes the same wait when it ends, through wake().
// While a watch exists the two signals no longer end the program; threads
// started while it exists leave them to the thread that waits.
// SIGINTs less than SameInterruptMs after the last one that counted are one
// interrupt: one user action can deliver several (a signal sent to the program
// and to its process group).

#include <signal.h>

namespace q57::cli {

class InterruptWatch {
public:
    static constexpr int SameInterruptMs = 50;

    // What arrived since the last wait.
    struct Arrivals {
        int interrupts = 0;     // SIGINT
        bool terminate = false; // SIGTERM
        bool woken = false;     // wake()
    };

    InterruptWatch();
    // Puts the previous handlers and signal mask back.
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch &) = delete;
    InterruptWatch &operator=(const InterruptWatch &) = delete;

    // Waits up to `timeoutMs` for a signal or a wake-up.
    Arrivals wait(int timeoutMs);
    // Ends a wait from another thread.
    void wake();

    // Blocks the two signals in the calling thread while it starts other
    // threads (they inherit the mask), so that only the waiting thread takes them.
    class QuietThreads {
    public:
        QuietThreads();
        ~QuietThreads();
        QuietThreads(const QuietThreads &) = delete;
        QuietThreads &operator=(const QuietThreads &) = delete;

    private:
        sigset_t previous_;
    };
};

} // namespace q57::cli
