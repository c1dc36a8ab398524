// SPDX-License-Identifier: MIT
#include "ui/HelpFile.h"

#include "app/StatusLogViewer.h"
#include "app/UserInteraction.h"
#include "files/TrustedLocation.h"

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

// The two spaces before "(" are the message's own, kept on purpose.
void showNotFound(UserInteraction &ui, const std::string &path, long code)
{
    showMessage(ui, "Cannot find HELP file.  (%s) - [%ld]", path.c_str(), code);
}

} // namespace

bool openHelpFile(const std::string &folder, ViewerLauncher &launcher, UserInteraction &ui)
{
    const std::string path = inFolder(folder);
    if (!isRegularFile(path)) {
        showNotFound(ui, path, ENOENT);
        return false;
    }
    const TrustedPath trusted = checkTrustedLocation(path);
    if (!trusted.refusal.empty()) {
        showMessage(ui, "The HELP file was refused: %s", trusted.refusal.c_str());
        return false;
    }
    launcher.openWithDesktop(trusted.path, [&ui, path](long code) {
        if (code != 0)
            showNotFound(ui, path, code);
    });
    return true;
}

} // namespace q57::ui
