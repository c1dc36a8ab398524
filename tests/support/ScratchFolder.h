// SPDX-License-Identifier: MIT
#pragma once
// A fresh private folder for one test or benchmark run, made under $TMPDIR
// (else /tmp) so that a machine whose /tmp is small or shared can point the
// suite elsewhere.

#include <filesystem>

namespace q57::testing {

// Creates "<TMPDIR or /tmp>/<prefix>-XXXXXX" with mkdtemp, TMPDIR as it was at
// the first call (tests change it for the program under test). A folder that cannot
// be made ends the program with a message: every later step would only fail
// in a more confusing way.
std::filesystem::path makeScratchFolder(const char *prefix);

// Points HOME, XDG_CONFIG_HOME, XDG_CONFIG_DIRS and TMPDIR at the folders
// home, config, etc and tmp of `root` (made when missing) and unsets
// XDG_RUNTIME_DIR, so the program's settings, data folder, ports folder,
// working files and job lock stay inside it.
void pointUserFoldersAt(const std::filesystem::path &root);

} // namespace q57::testing
