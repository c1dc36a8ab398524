// SPDX-License-Identifier: MIT
#include "app/StatusLogViewer.h"

#include "app/BusyGuard.h"
#include "app/StatusLog.h"
#include "app/UserInteraction.h"

#include <QTimer>

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
// How often the opener's end is looked for meanwhile.
constexpr auto OpenerPoll = std::chrono::milliseconds(20);

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

void DesktopLauncher::openWithDesktop(const std::string &path, OpenDone done)
{
    const pid_t pid = spawn(opener_, path);
    if (pid < 0) {
        done(-1);
        return;
    }
    // The timer polls from the event loop and deletes itself with the outcome.
    auto *poll = new QTimer;
    const auto deadline = std::chrono::steady_clock::now() + OpenerGrace;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, pid, deadline, done = std::move(done)] {
        int status = 0;
        long result = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            result = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        } else if (std::chrono::steady_clock::now() < deadline) {
            return;
        } else {
            reapLater(pid); // still running: it shows the file itself
        }
        poll->stop();
        poll->deleteLater();
        done(result);
    });
    poll->start(OpenerPoll);
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
    launcher.openWithDesktop(path, [&ui, &launcher, path](long result) {
        if (result != 0 && !launcher.startTextViewer(path))
            showMessage(ui, "Cannot view Status Log. (%s) [%ld]", path.c_str(), result);
    });
    return true;
}

} // namespace q57
