// SPDX-License-Identifier: MIT
#include "cli/ValidationStaging.h"

#include "jobs/DurableFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

namespace q57::cli {

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
    ::close(from);
    return copyFileDurably(file, itemFolder() + name) ? Copy::Copied : Copy::Failed;
}

} // namespace q57::cli
