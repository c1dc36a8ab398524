// SPDX-License-Identifier: MIT
#pragma once
// "View Status Log": opens statusLog.txt with the desktop's program for text
// files (xdg-open), or with a text viewer when the desktop cannot.
// The programs are started through a ViewerLauncher, so tests can stand in for
// them without starting real viewers.

#include <string>
#include <vector>

namespace q57 {

struct JobFlags;
class StatusLog;
class UserInteraction;

class ViewerLauncher {
public:
    virtual ~ViewerLauncher() = default;
    // Asks the desktop to open the file; 0 when it did, otherwise the opener's
    // failure code (its exit status, or -1 when it could not be started).
    virtual long openWithDesktop(const std::string &path) = 0;
    // Starts a text viewer on the file without waiting; false when none started.
    virtual bool startTextViewer(const std::string &path) = 0;
};

// Starts real programs: `opener` with the file, then the first of `textViewers`
// that can be started.
class DesktopLauncher : public ViewerLauncher {
public:
    DesktopLauncher();
    DesktopLauncher(std::string opener, std::vector<std::string> textViewers);

    long openWithDesktop(const std::string &path) override;
    bool startTextViewer(const std::string &path) override;

private:
    std::string opener_;
    std::vector<std::string> textViewers_;
};

// Refused while a job runs; "Cannot find '%s' file." when the log is not there;
// "Cannot view Status Log. (%s) [%ld]" when no program could show it. True
// when a program was started on the log.
bool viewStatusLog(const JobFlags &flags, UserInteraction &ui, const StatusLog &log, ViewerLauncher &launcher);

} // namespace q57
