// SPDX-License-Identifier: MIT
#pragma once
// The start of the program, shared by the window and the command line:
//  1. AppSettings::preparePaths(): settings opened, directories worked out; on
//     its failures (settings, private folder) the message is shown and the
//     program ends (exit code 0);
//  2. "delregkey" anywhere in the arguments: this user's settings are removed
//     and the program ends;
//  3. AppSettings::loadSettings(), ItemCatalogue::buildCatalogue(), then the end
//     of seeding from the machine-wide settings;
//  4. the status log is opened and closed once, emptying the last run's
//     (unless the caller keeps it, as a command that runs no job does).

#include <string>
#include <vector>

namespace q57 {

class AppSettings;
class ItemCatalogue;
class UserInteraction;

enum class StartupOutcome {
    Run,             // go on to the front end
    EndAfterFailure, // a start-up failure was shown; exit 0
    EndAfterRemoval, // "delregkey" removed the settings; exit 0
};

enum class LastStatusLog { Empty, Keep };

StartupOutcome startApplication(AppSettings &settings, ItemCatalogue &catalogue, UserInteraction &ui,
                                const std::vector<std::string> &arguments,
                                LastStatusLog lastLog = LastStatusLog::Empty);

} // namespace q57
