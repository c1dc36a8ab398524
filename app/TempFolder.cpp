// SPDX-License-Identifier: MIT
#include "app/TempFolder.h"

#include "app/Paths.h"
#include "app/SettingsStore.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace q57 {

namespace {

// Checks the folder through a descriptor that cannot follow a link, so what is
// checked is what gets tightened.
bool makePrivate(const std::string &folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    bool usable = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid();
    if (usable && (info.st_mode & 077) != 0)
        usable = ::fchmod(fd, 0700) == 0;
    ::close(fd);
    return usable;
}

} // namespace

std::string privateFolderIn(const std::string &base)
{
    if (base.empty())
        return {};
    // Named without the closing "/" here: with it, a link would be followed
    // even by O_NOFOLLOW.
    const std::string folder = withTrailingSlash(base) + "q57backup-" + std::to_string(::geteuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    return makePrivate(folder) ? folder + "/" : std::string();
}

std::string privateTempDirectory(const std::vector<std::string> &bases)
{
    for (const std::string &base : bases) {
        std::string folder = privateFolderIn(base);
        if (!folder.empty())
            return folder;
    }
    return CurrentDirectory;
}

std::string privateTempDirectory()
{
    std::vector<std::string> bases;
    const char *tmpdir = std::getenv("TMPDIR");
    if (tmpdir != nullptr && *tmpdir != '\0' && std::string(tmpdir).size() < SettingsStore::DirectReadLimit)
        bases.emplace_back(tmpdir);
    bases.emplace_back("/tmp");
    return privateTempDirectory(bases);
}

} // namespace q57
