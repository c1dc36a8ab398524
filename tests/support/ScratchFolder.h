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
// (A test's own home, settings and temporary folders: UserWorld.h.)

} // namespace q57::testing
