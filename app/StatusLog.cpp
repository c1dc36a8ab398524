// SPDX-License-Identifier: MIT
#include "StatusLog.h"

#include "PrintableText.h"
#include "UserInteraction.h"

#include <cerrno>
#include <cstdarg>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace q57 {

namespace {

std::string withCrLf(const std::string &text)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

bool writeAll(int fd, const std::string &bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

StatusLog::~StatusLog()
{
    close();
}

bool StatusLog::openAt(const std::string &path)
{
    std::lock_guard lock(mutex_);
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    // A link planted at the log's name would have the log empty and overwrite
    // whatever it points to.
    // O_NONBLOCK: a FIFO at that name would block the open until someone
    // reads it; one that someone does read is no log either.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISFIFO(info.st_mode)) {
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    path_ = path;
    writeLocked(preamble_);
    return true;
}

bool StatusLog::open(const std::string &tempDir, const std::string &defaultDir, const std::string &dataDir,
                     UserInteraction &ui)
{
    for (const std::string *dir : {&tempDir, &defaultDir, &dataDir}) {
        if (*dir == "./")
            continue;
        if (openAt(*dir + FileName))
            return true;
    }
    if (openAt(FileName))
        return true;
    showMessage(ui, "Unable to create '%s' file.", FileName);
    return false;
}

void StatusLog::close()
{
    std::lock_guard lock(mutex_);
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool StatusLog::isOpen() const
{
    std::lock_guard lock(mutex_);
    return fd_ >= 0;
}

std::string StatusLog::path() const
{
    std::lock_guard lock(mutex_);
    return path_;
}

void StatusLog::setEcho(std::function<void(const std::string &)> echo)
{
    std::lock_guard lock(mutex_);
    echo_ = std::move(echo);
}

void StatusLog::setPreamble(std::string preamble)
{
    std::lock_guard lock(mutex_);
    preamble_ = printableText(preamble);
}

void StatusLog::writeLocked(const std::string &printable)
{
    if (fd_ < 0 || printable.empty())
        return;
    writeAll(fd_, withCrLf(printable)); // write errors on the log are not reported
    if (echo_)
        echo_(printable);
}

// Log lines carry labels, names and record numbers from users' files and the
// device: control characters in them are escaped before they reach the file
// or a terminal that shows it.
void StatusLog::logText(const std::string &text)
{
    const std::string printable = printableText(text);
    std::lock_guard lock(mutex_);
    writeLocked(printable);
}

void StatusLog::log(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = formatText(format, args);
    va_end(args);
    logText(text);
}

} // namespace q57
