// SPDX-License-Identifier: MIT
#include "ui/ResourceFolders.h"

#include <climits>
#include <cstdlib>

namespace q57::ui {

namespace {

std::string resolved(const std::string &path)
{
    char real[PATH_MAX];
    return ::realpath(path.c_str(), real) != nullptr ? std::string(real) : std::string();
}

std::string withSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

bool isInside(const std::string &folder, const std::string &tree)
{
    const std::string inner = resolved(folder);
    const std::string top = resolved(tree);
    if (inner.empty() || top.empty())
        return false;
    // "/build2" is not inside "/build".
    return inner == top || inner.rfind(withSlash(top), 0) == 0;
}

} // namespace

ResourceFolders resourceFoldersFor(const std::string &programDirectory, const ResourcePlaces &places)
{
    if (!places.buildTree.empty() && isInside(programDirectory, places.buildTree))
        return {withSlash(places.buildTreeFolder), withSlash(places.buildTreeFolder)};
    return {withSlash(places.installedData), withSlash(places.installedLibrary)};
}

} // namespace q57::ui
