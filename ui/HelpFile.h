// SPDX-License-Identifier: MIT
#pragma once
// "Q57 Backup HELP": the program's help document, taken from the one folder
// the program uses for it (ui/ResourceFolders.h) and opened with the
// desktop's viewer.

#include <string>

namespace q57 {
class UserInteraction;
class ViewerLauncher;
} // namespace q57

namespace q57::ui {

inline constexpr const char *HelpFileName = "Q57BackupHlp.html";

// Opens the help document in `folder`. When it is not there, or the desktop
// cannot open it, shows "Cannot find HELP file.  (<path>) - [<code>]" with
// ENOENT or the opener's failure code. A document that others could have put
// there (files/TrustedLocation.h) is not opened: "The HELP file was refused:
// '<path>' is writable by others." (or "is owned by another user."). The
// opener's failure is shown once it has ended. True when the desktop was asked
// to open the document; `ui` and `launcher` must outlive the outcome.
bool openHelpFile(const std::string &folder, ViewerLauncher &launcher, UserInteraction &ui);

} // namespace q57::ui
