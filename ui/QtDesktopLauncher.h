// SPDX-License-Identifier: MIT
#pragma once
// The window's launcher: the desktop's opener (xdg-open) first, as the command
// line has it, then Qt's own way of opening a file with the desktop, which
// knows the common desktops' openers by itself. The package only recommends
// xdg-open, so a machine without it still opens the help document and the log.

#include "app/StatusLogViewer.h"

namespace q57::ui {

class QtDesktopLauncher : public DesktopLauncher {
public:
    using DesktopLauncher::DesktopLauncher;

    void openWithDesktop(const std::string &path, OpenDone done) override;
};

} // namespace q57::ui
