#include "cli/ValidationStaging.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace q57::cli {

namespace {

// Writes all of `bytes`; false on any failure.
bool writeAll(int fd, const char *bytes, size_t count)
{
    while (count > 0) {
        const ssize_t written = ::write(fd, bytes, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

bool copyBytes(int from, int to)
{
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(from, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return false;
        if (count == 0)
            return true;
        if (!writeAll(to, buffer, static_cast<size_t>(count)))
            return false;
    }
}

} // namespace

ValidationStaging::ValidationStaging(const std::string &tempDirectory)
{
    std::string pattern = tempDirectory + "validate-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr)
        return;
    const std::string folder = std::string(name.data()) + "/";
    if (::mkdir((folder + "file").c_str(), 0700) != 0) {
        ::rmdir(folder.c_str());
        return;
    }
    folder_ = folder;
}

ValidationStaging::~ValidationStaging()
{
    if (folder_.empty())
        return;
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
}

ValidationStaging::Copy ValidationStaging::copyIn(const std::string &file, const std::string &name) const
{
    const int from = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0)
        return errno == ENOENT || errno == ENOTDIR ? Copy::Missing : Copy::Failed;
    struct stat status {};
    const bool statted = ::fstat(from, &status) == 0;
    if (!statted || S_ISDIR(status.st_mode) || name.empty()) {
        ::close(from);
        return statted ? Copy::Missing : Copy::Failed;
    }
    const std::string copy = itemFolder() + name;
    const int to = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    const bool copied = to >= 0 && copyBytes(from, to);
    const bool closed = to >= 0 && ::close(to) == 0;
    ::close(from);
    return copied && closed ? Copy::Copied : Copy::Failed;
}

} // namespace q57::cli
