// SPDX-License-Identifier: MIT
#pragma once
// The folders this run of the program works in, worked out at start
// (AppSettings::preparePaths) and fixed afterwards. Every one ends in "/".

#include "app/TempFolder.h"

#include <string>

namespace q57 {

struct ProgramPaths {
    std::string dataDirectory = "./"; // default folder of every item file
    std::string tempDirectory = "./"; // private temporary folder (TempFolder.h), first choice of the log
    // Where the job lock lives, the same for every run of this user whatever
    // its TMPDIR: "$XDG_RUNTIME_DIR/q57backup/", else the settings folder.
    std::string lockDirectory;
    std::string programDirectory; // folder of the running executable
    // Which private folder tempDirectory is and why; a per-process one is
    // removed at the end of the run.
    PrivateFolder privateFolder;
};

} // namespace q57
