#pragma once
// Ctrl-C (SIGINT) and SIGTERM during a job: the signal handler only writes one
// byte to a pipe, which the front end's thread waits on next to the job.
// While a watch exists the two signals no longer end the program.

namespace q57::cli {

class InterruptWatch {
public:
    InterruptWatch();
    // Puts the previous handlers back.
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch &) = delete;
    InterruptWatch &operator=(const InterruptWatch &) = delete;

    // Waits up to `timeoutMs` for a signal; true when one came since the last call.
    bool waitForInterrupt(int timeoutMs);
};

} // namespace q57::cli
