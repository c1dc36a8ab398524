// SPDX-License-Identifier: MIT
#include "cli/PromptExit.h"

#include "app/ItemCatalogue.h"
#include "cli/CliInteraction.h"
#include "session/DeviceSession.h"

#include <unistd.h>

namespace q57::cli {

void endAtOnce(int exitCode, const ItemCatalogue &catalogue, DeviceSession &session, CliInteraction &ui)
{
    ui.endOpenLine(); // the shell's prompt must not run on after a half-drawn bar
    // Both temporary names of every item in the job, whichever step it was at;
    // unlink, not remove: a folder standing at such a name is not ours.
    for (const ItemId id : DeviceItemIds) {
        const DataItem &item = catalogue.item(id);
        if (!item.selected)
            continue;
        ::unlink(item.tempPath().c_str());
        ::unlink(item.tempPath2().c_str());
    }
    session.abandonLink();
    // Not exit(): the job's thread still runs, and the destructors it relies on must not.
    ::_exit(exitCode);
}

} // namespace q57::cli
