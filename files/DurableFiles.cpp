// SPDX-License-Identifier: MIT
#include "files/DurableFiles.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace q57 {

namespace {

// A descriptor that is closed at the end of its scope; close() reports errors.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return fd_; }
    bool close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, const char *data, size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(fd, data, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        length -= static_cast<size_t>(written);
    }
    return true;
}

bool copyContents(int from, int to)
{
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (!writeAll(to, buffer.data(), static_cast<size_t>(got)))
            return false;
    }
}

std::string folderOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool sameFolder(const std::string &a, const std::string &b)
{
    struct stat first {};
    struct stat second {};
    return ::stat(folderOf(a).c_str(), &first) == 0 && ::stat(folderOf(b).c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// The finished file takes on what the user set up for the file it replaces.
bool adoptAttributes(int fd, const std::string &target)
{
    struct stat old {};
    if (::stat(target.c_str(), &old) != 0)
        return ::fchmod(fd, defaultFileMode()) == 0;
    if (::geteuid() == 0 && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// A file in the target's own folder that holds the finished content, so the
// rename stays within one folder (and one file system). `finished` itself
// when it is there already.
std::string stagedBeside(const std::string &finished, const std::string &target)
{
    if (sameFolder(finished, target))
        return finished;
    std::string pattern = target + ".q57-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    Descriptor to(::mkostemp(name.data(), O_CLOEXEC));
    if (to.get() < 0)
        return {};
    Descriptor from(::open(finished.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (from.get() < 0 || !copyContents(from.get(), to.get()) || !to.close()) {
        ::unlink(name.data());
        return {};
    }
    return name.data();
}

// Sets the attributes and flushes; the file is whole on disk afterwards.
bool settleStaged(const std::string &staged, const std::string &target)
{
    Descriptor fd(::open(staged.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    return fd.get() >= 0 && adoptAttributes(fd.get(), target) && ::fsync(fd.get()) == 0 && fd.close();
}

void notify(const std::function<void(ReplaceStep)> &observer, ReplaceStep step)
{
    if (observer)
        observer(step);
}

} // namespace

bool createFreshFile(const std::string &path)
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return false;
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    return fd.get() >= 0 && fd.close();
}

bool finishWriting(std::fstream &stream)
{
    if (!stream.is_open()) {
        stream.clear();
        return false;
    }
    stream.flush();
    bool ok = !stream.fail();
    stream.close(); // sets failbit when the last buffered bytes or close() fail
    ok = ok && !stream.fail();
    stream.clear();
    return ok;
}

bool flushFileToDisk(const std::string &path)
{
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return fd.get() >= 0 && ::fsync(fd.get()) == 0 && fd.close();
}

void flushFolderToDisk(const std::string &folder)
{
    Descriptor fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::fsync(fd.get());
}

bool copyFileDurably(const std::string &from, const std::string &to)
{
    Descriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    return source.get() >= 0 && copyFileDurably(source.get(), to);
}

bool copyFileDurably(int from, const std::string &to)
{
    struct stat status {};
    if (::fstat(from, &status) != 0 || ::lseek(from, 0, SEEK_SET) != 0 || !createFreshFile(to))
        return false;
    Descriptor copy(::open(to.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC));
    const bool ok = copy.get() >= 0 && copyContents(from, copy.get()) &&
                    ::fchmod(copy.get(), status.st_mode & 07777) == 0 && ::fsync(copy.get()) == 0 && copy.close();
    if (!ok)
        ::unlink(to.c_str());
    return ok;
}

std::string followLinks(const std::string &path)
{
    std::string current = path;
    // The kernel's own limit on a chain of links; a loop ends here too.
    for (int hop = 0; hop < 40; ++hop) {
        char buffer[PATH_MAX];
        const ssize_t length = ::readlink(current.c_str(), buffer, sizeof buffer - 1);
        if (length < 0)
            return current;
        const std::string link(buffer, static_cast<size_t>(length));
        current = link.front() == '/' ? link : folderOf(current) + "/" + link;
    }
    return current;
}

ReplaceResult replaceFile(const std::string &finished, const std::string &target,
                          const std::function<void(ReplaceStep)> &observer)
{
    const std::string destination = followLinks(target);
    const std::string staged = stagedBeside(finished, destination);
    if (staged.empty() || !settleStaged(staged, destination)) {
        if (!staged.empty() && staged != finished)
            ::unlink(staged.c_str());
        return ReplaceResult::NotFlushed;
    }
    notify(observer, ReplaceStep::Flushed);
    if (std::rename(staged.c_str(), destination.c_str()) != 0) {
        if (staged != finished)
            ::unlink(staged.c_str());
        return ReplaceResult::NotRenamed;
    }
    notify(observer, ReplaceStep::Renamed);
    flushFolderToDisk(folderOf(destination));
    notify(observer, ReplaceStep::FolderFlushed);
    if (staged != finished)
        ::unlink(finished.c_str());
    return ReplaceResult::Replaced;
}

unsigned defaultFileMode()
{
    // umask() can only be read by setting it, which races with other threads;
    // the kernel shows it in /proc instead.
    unsigned mask = 022;
    if (std::FILE *status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            if (std::sscanf(line, "Umask: %o", &mask) == 1)
                break;
        }
        std::fclose(status);
    }
    return 0666 & ~mask;
}

} // namespace q57
