// SPDX-License-Identifier: MIT
#include "app/Paths.h"

#include <QStandardPaths>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace q57 {

std::string withTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/' && path[path.size() - 2] == '/')
        path.pop_back();
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}

std::string makerFolderIn(const std::string &base)
{
    return withTrailingSlash(base) + MakerFolderName + "/";
}

std::string documentsDataDirectory()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        return {};
    return makerFolderIn(documents.toStdString());
}

std::string executableDirectory()
{
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    return withTrailingSlash(executable.parent_path().string());
}

void createDirectory(const std::string &directory)
{
    std::error_code ignored;
    std::filesystem::create_directories(directory, ignored);
}

bool canCreateFileIn(const std::string &directory, const std::string &probeName)
{
    const std::string path = directory + probeName;
    std::FILE *probe = std::fopen(path.c_str(), "w");
    if (probe == nullptr)
        return false;
    std::fclose(probe);
    std::remove(path.c_str());
    return true;
}

} // namespace q57
