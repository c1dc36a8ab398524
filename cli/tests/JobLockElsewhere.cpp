// SPDX-License-Identifier: MIT
#include "JobLockElsewhere.h"

#include "app/JobLock.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

namespace q57::test {

namespace fs = std::filesystem;

void withJobLockInEachPlace(const fs::path &root, const std::function<void(const std::string &tmpdir)> &whileLocked,
                            const std::function<void()> &afterwards)
{
    for (const bool withRuntime : {false, true}) {
        SCOPED_TRACE(withRuntime ? "runtime folder" : "settings folder");
        const fs::path lockFolder = withRuntime ? root / "runtime" / "q57backup" : root / "config" / "Zantherix";
        fs::create_directories(lockFolder);
        fs::permissions(lockFolder, fs::perms::owner_all);
        if (withRuntime)
            setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 1);
        JobLock lock;
        pid_t holder = 0;
        ASSERT_TRUE(lock.acquire(lockFolder.string() + "/", holder));
        for (const char *tmpdir : {"tmp", "other-tmp"}) {
            SCOPED_TRACE(std::string("TMPDIR ") + tmpdir);
            fs::create_directories(root / tmpdir);
            setenv("TMPDIR", (root / tmpdir).c_str(), 1);
            whileLocked(tmpdir);
        }
        lock.release();
        afterwards();
        unsetenv("XDG_RUNTIME_DIR");
    }
    setenv("TMPDIR", (root / "tmp").c_str(), 1);
}

std::string refusalByThisProcess()
{
    return "Q57 Backup: Another Q57 Backup job is running (pid " + std::to_string(getpid()) + ").\n";
}

} // namespace q57::test
