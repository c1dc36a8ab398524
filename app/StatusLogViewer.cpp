// SPDX-License-Identifier: MIT
#include "app/StatusLogViewer.h"

#include "app/BusyGuard.h"
#include "app/StatusLog.h"
#include "app/UserInteraction.h"

#include <chrono>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char **environ;

namespace q57 {

namespace {

// How long the desktop's opener may take to hand the file over before it is
// taken to be showing it itself.
constexpr auto OpenerGrace = std::chrono::seconds(5);

pid_t spawn(const std::string &program, const std::string &argument)
{
    std::string programArg = program;
    std::string fileArg = argument;
    char *argv[] = {programArg.data(), fileArg.data(), nullptr};
    pid_t pid = -1;
    if (posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0)
        return -1;
    return pid;
}

// Collects the program's exit in the background, so it never lingers as a zombie.
void reapLater(pid_t pid)
{
    std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
}

} // namespace

DesktopLauncher::DesktopLauncher()
    : DesktopLauncher("xdg-open", {"gnome-text-editor", "gedit", "kwrite", "mousepad", "xed", "leafpad"})
{
}

DesktopLauncher::DesktopLauncher(std::string opener, std::vector<std::string> textViewers)
    : opener_(std::move(opener)), textViewers_(std::move(textViewers))
{
}

long DesktopLauncher::openWithDesktop(const std::string &path)
{
    const pid_t pid = spawn(opener_, path);
    if (pid < 0)
        return -1;
    const auto deadline = std::chrono::steady_clock::now() + OpenerGrace;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    reapLater(pid); // still running: it shows the file itself
    return 0;
}

bool DesktopLauncher::startTextViewer(const std::string &path)
{
    for (const std::string &viewer : textViewers_) {
        const pid_t pid = spawn(viewer, path);
        if (pid >= 0) {
            reapLater(pid);
            return true;
        }
    }
    return false;
}

bool viewStatusLog(const JobFlags &flags, UserInteraction &ui, const StatusLog &log, ViewerLauncher &launcher)
{
    if (refuseWhileBusy(flags, ui))
        return false;
    const std::string path = log.path();
    if (!std::ifstream(path).is_open()) {
        showMessage(ui, "Cannot find '%s' file.", path.c_str());
        return false;
    }
    const long result = launcher.openWithDesktop(path);
    if (result == 0)
        return true;
    if (launcher.startTextViewer(path))
        return true;
    showMessage(ui, "Cannot view Status Log. (%s) [%ld]", path.c_str(), result);
    return false;
}

} // namespace q57
