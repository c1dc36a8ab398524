// SPDX-License-Identifier: MIT
#include "jobs/ClearAddressBookJob.h"

#include "app/AppSettings.h"
#include "app/UserInteraction.h"
#include "session/DeviceSession.h"

namespace q57 {

bool ClearAddressBookJob::runClearAddressBookThread()
{
    JobFlags &flags = context_.flags();
    if (!context_.ui.askYesNo("", "Press YES to clear the Address Book?")) {
        if (declined_)
            declined_();
        flags.jobRunning = false;
        flags.clearMode = false;
        return false;
    }
    flags.jobRunning = true;
    // A quit confirmed while the question was open ends the job before the device is touched.
    const bool ok = !flags.abortRequested && context_.session.clearDeviceAddressBook();
    context_.session.closeDeviceLink();
    return reportJobEnd(context_, ok, "Clearing Address Book Completed Successfully.");
}

} // namespace q57
