// SPDX-License-Identifier: MIT
#include "app/BusyGuard.h"

#include "app/JobFlags.h"
#include "app/UserInteraction.h"

namespace q57 {

bool refuseWhileBusy(const JobFlags &flags, UserInteraction &ui)
{
    if (!flags.jobRunning)
        return false;
    showMessage(ui, "%s in progress", flags.jobName());
    return true;
}

} // namespace q57
