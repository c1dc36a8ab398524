// SPDX-License-Identifier: MIT
#include "cli/ValidateCommand.h"

#include "app/JobLock.h"
#include "app/PrintableText.h"
#include "app/TerminalInteraction.h"
#include "cli/CommandLineWords.h"
#include "cli/ItemFileCheck.h"
#include "cli/ItemNames.h"
#include "cli/ValidationStaging.h"
#include "core/ProgramCore.h"
#include "jobs/ItemFileLimits.h"
#include "jobs/RestoreValidation.h"

#include <cstdio>
#include <filesystem>

namespace q57::cli {

namespace {

std::optional<uint16_t> parseCapacity(const std::string &text)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const unsigned long value = std::stoul(text);
    if (value > 0xFFFF)
        return std::nullopt;
    return static_cast<uint16_t>(value);
}

void echoToStandardOutput(const std::string &text)
{
    const std::string shown = printableText(text);
    std::fwrite(shown.data(), 1, shown.size(), stdout);
    std::fflush(stdout);
}

// Puts FILE's copy where the item's passes read it; false after the reason was shown.
bool stageFile(const std::string &file, const ValidationStaging &staging, const std::string &tempDirectory, ItemId id,
               DataItem &item, UserInteraction &ui)
{
    if (!staging.ready()) {
        showMessage(ui, "Cannot validate %s. Unable to create a folder in '%s'.", item.displayName.c_str(),
                    tempDirectory.c_str());
        return false;
    }
    item.directory = staging.itemFolder();
    item.fileName = std::filesystem::path(file).filename().string();
    // A missing copy is reported by the validation as a missing file; a
    // refused file as a restore refuses it.
    BoundedFile source;
    const ValidationStaging::Copy copy = staging.copyIn(file, item.fileName, itemFileLimit(id), &source);
    if (copy == ValidationStaging::Copy::Copied || copy == ValidationStaging::Copy::Missing)
        return true;
    if (copy == ValidationStaging::Copy::Refused) {
        ui.showMessage("Unable to restore. " + source.refusal(item.displayName));
        return false;
    }
    showMessage(ui, "Cannot validate %s. Unable to read '%s'.", item.displayName.c_str(), file.c_str());
    return false;
}

} // namespace

std::string ValidateCommand::usage() const
{
    return "validate ITEM FILE [--level2] [--capacity N]\n"
           "    Checks FILE as a restore of ITEM would, without a device; exit 0 when it\n"
           "    would be accepted, 1 when not. ITEM: " +
           deviceItemNames(", ") +
           ".\n"
           "    --level2      memos for a level-2 device (labels cut to 19 characters)\n"
           "    --capacity N  the address book capacity the device reported\n";
}

std::optional<ValidateCommand::Request> ValidateCommand::parse(const std::vector<std::string> &arguments) const
{
    Request request;
    std::vector<std::string> positional;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (argument == "--level2") {
            request.levelTwo = true;
        } else if (argument == "--capacity") {
            const auto capacity = i + 1 < arguments.size() ? parseCapacity(arguments[++i]) : std::nullopt;
            if (!capacity) {
                refuse("--capacity takes a number from 0 to 65535");
                return std::nullopt;
            }
            request.capacity = *capacity;
        } else if ((argument.size() > 2 && argument.compare(0, 2, "--") == 0) || positional.size() == 2) {
            refuse("unknown argument '" + argument + "'");
            return std::nullopt;
        } else {
            positional.push_back(argument);
        }
    }
    if (positional.size() != 2) {
        refuse("validate needs ITEM and FILE");
        return std::nullopt;
    }
    if (!deviceItemNamed(positional[0])) {
        refuse("unknown ITEM '" + positional[0] + "'");
        return std::nullopt;
    }
    request.item = positional[0];
    request.file = fullPath(positional[1]);
    return request;
}

int ValidateCommand::run(const std::vector<std::string> &arguments)
{
    const std::optional<Request> request = parse(arguments);
    if (!request) {
        std::fprintf(stderr, "usage: q57backup-cli %s", usage().c_str());
        return ExitUsage;
    }
    return validate(*request);
}

int ValidateCommand::validate(const Request &request) const
{
    TerminalInteraction ui(false, stderr, -1); // nothing here asks a question
    ProgramCore core(ui);
    // No arguments are passed on: a file name must never be taken for
    // "delregkey". The last job's status log stays for the user to read.
    if (core.start({}, LastStatusLog::Keep) != StartupOutcome::Run || !restoreFileUsable(request.file, ui))
        return ExitFailure;
    // Nothing is saved at the end (no finish()): the item's folder below is
    // the staging folder, for this run only.
    AppSettings &settings = core.settings();
    ItemCatalogue &catalogue = core.catalogue();
    // The staging and the log live in the private folder, which a job
    // running meanwhile shares.
    JobLock lock;
    pid_t holder = 0;
    if (!lock.acquire(settings.paths.lockDirectory, holder)) {
        ui.showMessage(jobLockRefusal(holder));
        return ExitFailure;
    }
    const ItemId id = *deviceItemNamed(request.item);
    DataItem &item = catalogue.item(id);
    const ValidationStaging staging(settings.paths.tempDirectory);
    if (!stageFile(request.file, staging, settings.paths.tempDirectory, id, item, ui))
        return ExitFailure;

    item.selected = true;
    item.resetTransferState();
    catalogue.item(AddressBook).capacity = request.capacity;
    settings.runtime.jobFlags.backupMode = false;
    FormatContext &formats = core.formats();
    formats.deviceLevelTwo = request.levelTwo;

    if (!settings.runtime.statusLog.openAt(staging.logPath())) {
        ui.showMessage("Unable to create 'statusLog.txt' file.");
        return ExitFailure;
    }
    settings.runtime.statusLog.setEcho(echoToStandardOutput);
    settings.runtime.statusLog.log("====================\n");
    settings.runtime.statusLog.log("Validating Files....\n");
    settings.runtime.statusLog.log("====================\n");
    const bool accepted = validateForRestore(id, item, formats, settings.runtime.jobFlags);
    item.releaseItem(restoreReleaseMode(id));
    settings.runtime.statusLog.close();
    return accepted ? ExitSuccess : ExitFailure;
}

} // namespace q57::cli
