// SPDX-License-Identifier: MIT
#include "merge/AddressBookMerge.h"

#include "app/JobLock.h"
#include "app/UserInteraction.h"

namespace q57 {

bool takeMergeLock(JobLock &lock, const MergeServices &services)
{
    pid_t holder = 0;
    if (lock.acquire(services.lockDirectory, holder))
        return true;
    services.ui.showMessage(jobLockRefusal(holder));
    return false;
}

} // namespace q57
