// SPDX-License-Identifier: MIT
#pragma once
// "Q57 Backup HELP": the program's help document, looked for beside the
// program first (a build tree), then in the installed data folder, and opened
// with the desktop's viewer.

#include <string>
#include <vector>

namespace q57 {
class UserInteraction;
class ViewerLauncher;
} // namespace q57

namespace q57::ui {

inline constexpr const char *HelpFileName = "Q57BackupHlp.html";

// The places looked at, in order.
std::vector<std::string> helpFileCandidates(const std::string &programDirectory, const std::string &installedFolder);

// Opens the first candidate that exists. When none does, or the desktop
// cannot open it, shows "Cannot find HELP file.  (<path>) - [<code>]" with
// the file beside the program (or the one that failed) and ENOENT or the
// opener's failure code; the latter once the opener has ended. True when the
// desktop was asked to open a file; `ui` and `launcher` must outlive the outcome.
bool openHelpFile(const std::string &programDirectory, const std::string &installedFolder, ViewerLauncher &launcher,
                  UserInteraction &ui);

} // namespace q57::ui
