// SPDX-License-Identifier: MIT
#include "preview/AddressBookStorage.h"

#include "jobs/DurableFiles.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace q57::preview {

LoadResult loadAddressBook(const std::string &path, AddressBookDocument &document)
{
    document = AddressBookDocument();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? LoadResult::Missing : LoadResult::Unreadable;
    if (!S_ISREG(info.st_mode))
        return LoadResult::Unreadable;
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    if (!file.is_open() || !(text << file.rdbuf()) || file.bad())
        return LoadResult::Unreadable;
    document = AddressBookDocument::fromFileText(text.str());
    return LoadResult::Loaded;
}

namespace {

// Beside the file it replaces, so that the rename stays in one file system.
std::string savingPath(const std::string &path)
{
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, nameStart) + "~" + path.substr(nameStart) + ".saving";
}

} // namespace

bool saveAddressBook(const AddressBookDocument &document, const std::string &path)
{
    // A link's target folder is where the new file has to be made.
    const std::string target = followLinks(path);
    const std::string temporary = savingPath(target);
    if (!createFreshFile(temporary))
        return false;
    std::fstream file(temporary, std::ios::in | std::ios::out | std::ios::binary);
    const std::string text = document.toFileText();
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!finishWriting(file) || replaceFile(temporary, path) != ReplaceResult::Replaced) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace q57::preview
