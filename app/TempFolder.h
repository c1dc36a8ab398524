// SPDX-License-Identifier: MIT
#pragma once
// The program's temporary directory. Fixed names such as statusLog.txt and the
// merge's staging files live in it, so it has to be private to the user: a
// folder "q57backup-<uid>/" with mode 0700 inside $TMPDIR or /tmp. A folder of
// that name that is a symbolic link, not a directory, or owned by someone else
// is refused and the next choice is tried.

#include <string>
#include <vector>

namespace q57 {

// "<base>/q57backup-<uid>/", created private when missing and made private
// when it is ours; empty when it is refused or cannot be created.
std::string privateFolderIn(const std::string &base);

// The first usable private folder among the candidates ($TMPDIR when set and
// shorter than 300 bytes, then /tmp); "./" when none is usable.
std::string privateTempDirectory();
// The same over given base folders, in order.
std::string privateTempDirectory(const std::vector<std::string> &bases);

} // namespace q57
