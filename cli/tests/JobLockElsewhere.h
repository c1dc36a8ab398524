// SPDX-License-Identifier: MIT
#pragma once
// A job of this user running in another process, as the command-line programs
// under test see it: this test process holds the job lock where every run of
// the user looks for it (the settings folder, or the runtime folder when
// XDG_RUNTIME_DIR is set), and the program is run under two different TMPDIR
// values, which must not matter.

#include <filesystem>
#include <functional>
#include <string>

namespace q57::test {

// For each place of the lock: takes it there and calls `whileLocked` once for
// each TMPDIR ("tmp" and "other-tmp" under `root`), then lets it go and calls
// `afterwards`. XDG_RUNTIME_DIR is unset again at the end of each place, and
// TMPDIR is `root`/tmp.
void withJobLockInEachPlace(const std::filesystem::path &root,
                            const std::function<void(const std::string &tmpdir)> &whileLocked,
                            const std::function<void()> &afterwards);

// What the refused program prints: the lock's holder is this process.
std::string refusalByThisProcess();

} // namespace q57::test
