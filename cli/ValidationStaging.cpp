// SPDX-License-Identifier: MIT
#include "cli/ValidationStaging.h"

#include "files/DurableFiles.h"

#include <sys/stat.h>
#include <unistd.h>

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

ValidationStaging::Copy ValidationStaging::copyIn(const std::string &file, const std::string &name,
                                                  std::uint64_t limit, BoundedFile *refusal) const
{
    // Copied from the descriptor that was checked: a FIFO, /dev/zero or a
    // huge file never reaches the private folder.
    BoundedFile from(file, limit);
    std::error_code error;
    Copy copy = Copy::Copied;
    if (from.status() == BoundedFile::Status::Missing || name.empty() ||
        (from.status() == BoundedFile::Status::NotRegular && std::filesystem::is_directory(file, error)))
        copy = Copy::Missing;
    else if (from.status() == BoundedFile::Status::NotRegular || from.status() == BoundedFile::Status::TooLarge)
        copy = Copy::Refused;
    else if (!from.opened() || !copyFileDurably(from.descriptor(), itemFolder() + name))
        copy = Copy::Failed;
    if (refusal != nullptr)
        *refusal = std::move(from);
    return copy;
}

} // namespace q57::cli
