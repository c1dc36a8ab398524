// SPDX-License-Identifier: MIT
#pragma once
// One job at a time per user, across processes: the window and any number of
// command lines share the fixed temporary names of the items and the status
// log, so a second job would delete or commit the first one's files.
//
// The lock is flock() on "job.lock" in the lock folder (AppSettings::
// lockDirectory: "$XDG_RUNTIME_DIR/q57backup/", else the settings folder),
// which every run of the user finds whatever its TMPDIR, held for the whole job. The kernel drops it when its holder ends, however it ends, so
// a crashed run never blocks the next one. The holder's pid is kept in the
// file for the message a refused run shows.

#include <string>
#include <sys/types.h>

namespace q57 {

class JobLock {
public:
    JobLock() = default;
    ~JobLock() { release(); }
    JobLock(const JobLock &) = delete;
    JobLock &operator=(const JobLock &) = delete;

    // Takes the lock in `folder` (a directory string ending in "/") without
    // waiting. False when another process holds it (its pid in `holder`, 0
    // when unknown) or the lock file cannot be opened or `folder` is empty
    // (holder -1: never a lock in the current directory).
    bool acquire(const std::string &folder, pid_t &holder);
    void release();
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// "Another Q57 Backup job is running (pid N)." for a holder's pid.
std::string jobLockRefusal(pid_t holder);

} // namespace q57
