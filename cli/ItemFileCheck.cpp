// SPDX-License-Identifier: MIT
#include "cli/ItemFileCheck.h"

#include "app/UserInteraction.h"

#include <filesystem>

namespace q57::cli {

namespace {

namespace fs = std::filesystem;

// The folder that holds `fullPath`, ending in "/".
std::string folderOf(const std::string &fullPath)
{
    const std::string folder = fs::path(fullPath).parent_path().string();
    return folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

bool isFolder(const std::string &path)
{
    std::error_code error;
    return fs::is_directory(path.empty() ? "." : path, error);
}

} // namespace

bool restoreFileUsable(const std::string &fullPath, UserInteraction &ui)
{
    if (isFolder(folderOf(fullPath)) && !isFolder(fullPath))
        return true;
    showMessage(ui, "Unable to restore. File %s does not exist.", fullPath.c_str());
    return false;
}

bool backupFileUsable(const std::string &fullPath, const std::string &displayName, UserInteraction &ui)
{
    const std::string folder = folderOf(fullPath);
    if (!isFolder(folder)) {
        showMessage(ui, "Unable to backup %s. Folder %s does not exist.", displayName.c_str(), folder.c_str());
        return false;
    }
    if (isFolder(fullPath)) {
        showMessage(ui, "Unable to backup %s. %s is a folder.", displayName.c_str(), fullPath.c_str());
        return false;
    }
    return true;
}

} // namespace q57::cli
