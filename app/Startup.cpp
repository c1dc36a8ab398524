// SPDX-License-Identifier: MIT
#include "app/Startup.h"

#include "app/AppSettings.h"
#include "app/ItemCatalogue.h"
#include "app/UserInteraction.h"

namespace q57 {

StartupOutcome startApplication(AppSettings &settings, ItemCatalogue &catalogue, UserInteraction &ui,
                                const std::vector<std::string> &arguments, LastStatusLog lastLog)
{
    const AppSettings::Startup prepared = settings.preparePaths();
    if (prepared != AppSettings::Startup::Ready) {
        ui.showMessage(startupFailureMessage(prepared));
        return StartupOutcome::EndAfterFailure;
    }
    if (wantsSettingsRemoval(arguments)) {
        settings.store().removeUserSettings();
        return StartupOutcome::EndAfterRemoval;
    }
    settings.loadSettings();
    catalogue.buildCatalogue();
    settings.seededFromMachine = false;
    if (lastLog == LastStatusLog::Empty) {
        settings.openStatusLog(ui);
        settings.runtime.statusLog.close();
    }
    return StartupOutcome::Run;
}

} // namespace q57
