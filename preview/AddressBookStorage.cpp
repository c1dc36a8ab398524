// SPDX-License-Identifier: MIT
#include "preview/AddressBookStorage.h"

#include "files/BoundedFile.h"
#include "files/DurableFiles.h"
#include "formats/FileSizeLimits.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace q57::preview {

namespace {

LoadResult resultOf(const BoundedFile &file)
{
    std::error_code error;
    switch (file.status()) {
    case BoundedFile::Status::Opened: return LoadResult::Loaded;
    case BoundedFile::Status::Missing: return LoadResult::Missing;
    case BoundedFile::Status::TooLarge: return LoadResult::Refused;
    case BoundedFile::Status::NotRegular:
        // A folder stays what it always was: a book that cannot be read.
        return std::filesystem::is_directory(file.path(), error) ? LoadResult::Unreadable : LoadResult::Refused;
    case BoundedFile::Status::Unreadable: break;
    }
    return LoadResult::Unreadable;
}

} // namespace

LoadResult loadAddressBook(const std::string &path, AddressBookDocument &document, std::string *reason)
{
    document = AddressBookDocument();
    BoundedFile file(path, AddressBookFileLimit);
    std::string text;
    if (file.opened())
        file.readAll(text);
    const LoadResult result = resultOf(file);
    if (result != LoadResult::Loaded) {
        if (reason != nullptr)
            *reason = file.refusal("Address Book");
        return result;
    }
    document = AddressBookDocument::fromFileText(text);
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
