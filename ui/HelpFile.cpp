// SPDX-License-Identifier: MIT
#include "ui/HelpFile.h"

#include "app/StatusLogViewer.h"
#include "app/UserInteraction.h"

#include <sys/stat.h>

#include <cerrno>

namespace q57::ui {

namespace {

bool isRegularFile(const std::string &path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string inFolder(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder + HelpFileName;
}

} // namespace

std::vector<std::string> helpFileCandidates(const std::string &programDirectory, const std::string &installedFolder)
{
    std::vector<std::string> candidates{inFolder(programDirectory)};
    if (!installedFolder.empty() && inFolder(installedFolder) != candidates.front())
        candidates.push_back(inFolder(installedFolder));
    return candidates;
}

bool openHelpFile(const std::string &programDirectory, const std::string &installedFolder, ViewerLauncher &launcher,
                  UserInteraction &ui)
{
    const std::vector<std::string> candidates = helpFileCandidates(programDirectory, installedFolder);
    for (const std::string &path : candidates) {
        if (!isRegularFile(path))
            continue;
        launcher.openWithDesktop(path, [&ui, path](long code) {
            if (code != 0)
                showMessage(ui, "Cannot find HELP file.  (%s) - [%ld]", path.c_str(), code);
        });
        return true;
    }
    showMessage(ui, "Cannot find HELP file.  (%s) - [%ld]", candidates.front().c_str(), static_cast<long>(ENOENT));
    return false;
}

} // namespace q57::ui
