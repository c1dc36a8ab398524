// SPDX-License-Identifier: MIT
#include "jobs/JobContext.h"

#include "app/AppSettings.h"
#include "app/UserInteraction.h"

namespace q57 {

JobFlags &JobContext::flags() const
{
    return settings.runtime.jobFlags;
}

StatusLog &JobContext::log() const
{
    return settings.runtime.statusLog;
}

bool reportJobEnd(const JobContext &context, bool ok, const std::string &completion)
{
    JobFlags &flags = context.flags();
    if (flags.abortRequested) {
        flags.jobRunning = false;
        context.ui.quitNotice();
        return false;
    }
    flags.jobRunning = false;
    flags.clearMode = false;
    context.log().close();
    context.ui.jobEndNotice(ok);
    if (ok && !completion.empty())
        context.ui.showMessage(completion);
    return ok;
}

} // namespace q57
