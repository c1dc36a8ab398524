// SPDX-License-Identifier: MIT
#include "core/ProgramCore.h"

namespace q57 {

ProgramCore::ProgramCore(UserInteraction &ui)
    : ui_(ui), catalogue_(settings_, settings_.runtime.jobFlags, ui_, settings_.runtime.statusLog),
      formats_(settings_.runtime.statusLog, ui_, catalogue_.item(AddressBook), catalogue_.item(Quicktext)),
      session_(settings_, catalogue_, formats_, ui_),
      runner_(JobContext{settings_, catalogue_, session_, formats_, ui_})
{
}

StartupOutcome ProgramCore::start(const std::vector<std::string> &arguments, LastStatusLog lastLog)
{
    return startApplication(settings_, catalogue_, ui_, arguments, lastLog);
}

void ProgramCore::finish(LastJob lastJob)
{
    if (lastJob == LastJob::Release)
        runner_.releaseLastJob();
    settings_.runtime.statusLog.close();
    settings_.saveSettings();
    catalogue_.saveCatalogue();
}

} // namespace q57
