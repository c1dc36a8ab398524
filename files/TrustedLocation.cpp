// SPDX-License-Identifier: MIT
#include "files/TrustedLocation.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace q57 {

namespace {

// What makes one entry on the way untrustworthy; "" when nothing does.
std::string problemWith(const std::string &path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return "'" + path + "' cannot be checked.";
    if (info.st_uid != 0 && info.st_uid != ::geteuid())
        return "'" + path + "' is owned by another user.";
    const bool othersMayWrite = (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    const bool stickyFolder = S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX) != 0;
    if (othersMayWrite && !stickyFolder)
        return "'" + path + "' is writable by others.";
    return {};
}

} // namespace

TrustedPath checkTrustedLocation(const std::string &path)
{
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr)
        return {path, "'" + path + "' cannot be checked."};
    TrustedPath trusted{resolved, {}};
    // The file first, then each folder above it, "/" last.
    for (std::string entry = trusted.path;;) {
        trusted.refusal = problemWith(entry);
        if (!trusted.refusal.empty() || entry == "/")
            return trusted;
        const size_t slash = entry.find_last_of('/');
        entry = slash == 0 ? std::string("/") : entry.substr(0, slash);
    }
}

} // namespace q57
