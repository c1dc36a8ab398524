// SPDX-License-Identifier: MIT
#include "app/JobLock.h"

#include "app/UserInteraction.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace q57 {

namespace {

constexpr const char *LockFileName = "job.lock";

pid_t readHolder(int fd)
{
    char text[32] = {};
    const ssize_t length = ::pread(fd, text, sizeof text - 1, 0);
    if (length <= 0)
        return 0;
    return static_cast<pid_t>(std::strtol(text, nullptr, 10));
}

// The pid is a courtesy for the message; a lock whose pid could not be
// written is still a lock.
void writeHolder(int fd)
{
    const std::string text = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) != 0)
        return;
    [[maybe_unused]] const ssize_t written = ::pwrite(fd, text.data(), text.size(), 0);
}

} // namespace

bool JobLock::acquire(const std::string &folder, pid_t &holder)
{
    if (held())
        return true;
    if (folder.empty()) {
        holder = -1;
        return false;
    }
    const std::string path = folder + LockFileName;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        holder = -1;
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        holder = errno == EWOULDBLOCK ? readHolder(fd) : -1;
        ::close(fd);
        return false;
    }
    writeHolder(fd);
    fd_ = fd;
    return true;
}

void JobLock::release()
{
    if (fd_ < 0)
        return;
    // Closing the only descriptor of the lock's open file ends the lock.
    ::close(fd_);
    fd_ = -1;
}

std::string jobLockRefusal(pid_t holder)
{
    if (holder > 0)
        return formatText("Another Q57 Backup job is running (pid %d).", static_cast<int>(holder));
    if (holder == 0)
        return "Another Q57 Backup job is running.";
    return "Cannot start the job: its lock file cannot be opened.";
}

} // namespace q57
