// SPDX-License-Identifier: MIT
#include "files/BoundedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <utility>

namespace q57 {

namespace {

BoundedFile::Status statusOfOpenError(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return BoundedFile::Status::Missing;
    case ELOOP: // O_NOFOLLOW met a link
    case ENXIO: // a FIFO opened for writing only, a socket
        return BoundedFile::Status::NotRegular;
    default: return BoundedFile::Status::Unreadable;
    }
}

} // namespace

BoundedFile::BoundedFile(const std::string &path, std::uint64_t limit, Links links) : path_(path), limit_(limit)
{
    // O_NONBLOCK: opening a FIFO for reading waits for a writer otherwise.
    int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    if (links == Links::Refuse)
        flags |= O_NOFOLLOW;
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) {
        status_ = statusOfOpenError(errno);
        return;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        status_ = Status::Unreadable;
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        status_ = Status::NotRegular;
        return;
    }
    size_ = static_cast<std::uint64_t>(info.st_size);
    if (size_ > limit_) {
        ::close(fd);
        status_ = Status::TooLarge;
        return;
    }
    // A regular file never blocks; the callers' streams expect blocking reads.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    status_ = Status::Opened;
}

BoundedFile::~BoundedFile()
{
    close();
}

BoundedFile::BoundedFile(BoundedFile &&other) noexcept
    : path_(std::move(other.path_)), limit_(other.limit_), size_(other.size_), fd_(std::exchange(other.fd_, -1)),
      status_(other.status_)
{
}

BoundedFile &BoundedFile::operator=(BoundedFile &&other) noexcept
{
    if (this != &other) {
        close();
        path_ = std::move(other.path_);
        limit_ = other.limit_;
        size_ = other.size_;
        fd_ = std::exchange(other.fd_, -1);
        status_ = other.status_;
    }
    return *this;
}

bool BoundedFile::readAll(std::string &bytes)
{
    bytes.clear();
    if (fd_ < 0)
        return false;
    // One byte past the limit tells a file that grew since it was opened.
    bytes.resize(static_cast<size_t>(size_ < limit_ ? size_ : limit_));
    size_t length = 0;
    char probe = 0;
    for (;;) {
        char *into = length < bytes.size() ? bytes.data() + length : &probe;
        const size_t room = length < bytes.size() ? bytes.size() - length : 1;
        const ssize_t got = ::pread(fd_, into, room, static_cast<off_t>(length));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            bytes.resize(length);
            status_ = Status::Unreadable;
            return false;
        }
        if (got == 0)
            break;
        if (into == &probe) {
            if (length >= limit_) {
                status_ = Status::TooLarge;
                return false;
            }
            // Grown, but still within the limit: make room and read on.
            bytes.resize(std::min<std::uint64_t>(limit_, bytes.size() * 2 + 4096));
            bytes[length] = probe;
        }
        length += static_cast<size_t>(got);
    }
    bytes.resize(length);
    return true;
}

int BoundedFile::release()
{
    return std::exchange(fd_, -1);
}

void BoundedFile::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

std::string BoundedFile::refusal(const std::string &kind) const
{
    const std::string &name = path_;
    switch (status_) {
    case Status::Opened: return {};
    case Status::Missing: return "File '" + name + "' does not exist.";
    case Status::NotRegular: return "'" + name + "' is not a regular file.";
    case Status::TooLarge:
        return "File '" + name + "' is larger than " + describeByteCount(limit_) + ", the limit for " + kind +
               " files.";
    case Status::Unreadable: return "Unable to read '" + name + "'.";
    }
    return {};
}

std::string describeByteCount(std::uint64_t bytes)
{
    constexpr std::uint64_t KiB = 1024;
    constexpr std::uint64_t MiB = 1024 * KiB;
    if (bytes >= MiB && bytes % MiB == 0)
        return std::to_string(bytes / MiB) + " MiB";
    if (bytes >= KiB && bytes % KiB == 0)
        return std::to_string(bytes / KiB) + " KiB";
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

} // namespace q57
