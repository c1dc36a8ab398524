// SPDX-License-Identifier: MIT
#pragma once
// "View Status Log": opens statusLog.txt with the desktop's program for text
// files (xdg-open), or with a text viewer when the desktop cannot.
// The programs are started through a ViewerLauncher, so tests can stand in for
// them without starting real viewers.
//
// Opening never waits on the caller's thread: the desktop's opener may take
// seconds to hand a file over, and the window must go on drawing and serving
// the job meanwhile. The outcome arrives later, through the event loop.

#include <functional>
#include <string>
#include <vector>

namespace q57 {

struct JobFlags;
class StatusLog;
class UserInteraction;

class ViewerLauncher {
public:
    // Called once with the outcome: 0 when the desktop took the file, otherwise
    // the opener's failure code (its exit status, or -1 when it could not be
    // started).
    using OpenDone = std::function<void(long result)>;

    virtual ~ViewerLauncher() = default;
    // Asks the desktop to open the file and returns at once; `done` follows,
    // from the event loop of the calling thread (or before the return when the
    // opener cannot be started at all).
    virtual void openWithDesktop(const std::string &path, OpenDone done) = 0;
    // Starts a text viewer on the file without waiting; false when none started.
    virtual bool startTextViewer(const std::string &path) = 0;
};

// Starts real programs: `opener` with the file, then the first of `textViewers`
// that can be started. The opener's end is watched by a timer of the calling
// thread's event loop; an opener still running after a few seconds is taken to
// show the file itself.
class DesktopLauncher : public ViewerLauncher {
public:
    DesktopLauncher();
    DesktopLauncher(std::string opener, std::vector<std::string> textViewers);

    void openWithDesktop(const std::string &path, OpenDone done) override;
    bool startTextViewer(const std::string &path) override;

private:
    std::string opener_;
    std::vector<std::string> textViewers_;
};

// Refused while a job runs; "Cannot find '%s' file." when the log is not there;
// "Cannot view Status Log. (%s) [%ld]", later, when no program could show it.
// True when the desktop was asked to show the log. `ui` and `launcher` must
// outlive the outcome.
bool viewStatusLog(const JobFlags &flags, UserInteraction &ui, const StatusLog &log, ViewerLauncher &launcher);

} // namespace q57
