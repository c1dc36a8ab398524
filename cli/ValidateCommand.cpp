#include "cli/ValidateCommand.h"

#include "app/AppSettings.h"
#include "app/ItemCatalogue.h"
#include "app/Startup.h"
#include "app/TerminalInteraction.h"
#include "formats/FormatContext.h"
#include "jobs/RestoreValidation.h"

#include <cstdio>
#include <filesystem>

namespace q57::cli {

namespace {

constexpr ItemId DeviceItems[] = {Preferences, AddressBook, Folders, Memos, Quicktext};
// The catalogue's settings keys, which name the items on the command line.
constexpr const char *ItemNames = "preferences, addressBook, folders, memos, quicktext";

std::optional<ItemId> findItem(ItemCatalogue &catalogue, const std::string &key)
{
    for (ItemId id : DeviceItems) {
        if (catalogue.item(id).key == key)
            return id;
    }
    return std::nullopt;
}

std::optional<uint16_t> parseCapacity(const std::string &text)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const unsigned long value = std::stoul(text);
    if (value > 0xFFFF)
        return std::nullopt;
    return static_cast<uint16_t>(value);
}

// FILE as the item keeps it: its folder (ending in "/") and its bare name.
void placeFile(DataItem &item, const std::string &file)
{
    const std::filesystem::path path(file);
    const std::string folder = path.parent_path().string();
    item.directory = folder.empty() ? "./" : (folder.back() == '/' ? folder : folder + "/");
    item.fileName = path.filename().string();
}

void echoToStandardOutput(const std::string &text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

} // namespace

std::string ValidateCommand::usage() const
{
    return std::string("validate ITEM FILE [--level2] [--capacity N]\n"
                       "    Checks FILE as a restore of ITEM would, without a device; exit 0 when it\n"
                       "    would be accepted, 1 when not. ITEM: ") +
           ItemNames +
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
                std::fprintf(stderr, "--capacity takes a number from 0 to 65535\n");
                return std::nullopt;
            }
            request.capacity = *capacity;
        } else if (argument.size() > 2 && argument.compare(0, 2, "--") == 0) {
            std::fprintf(stderr, "unknown option %s\n", argument.c_str());
            return std::nullopt;
        } else {
            positional.push_back(argument);
        }
    }
    if (positional.size() != 2) {
        std::fprintf(stderr, "validate needs ITEM and FILE\n");
        return std::nullopt;
    }
    request.item = positional[0];
    request.file = positional[1];
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
    TerminalInteraction ui(false, stderr, nullptr); // nothing here asks a question
    AppSettings settings;
    ItemCatalogue catalogue(settings, settings.jobFlags, ui, settings.statusLog);
    // No arguments are passed on: a file name must never be taken for "delregkey".
    if (startApplication(settings, catalogue, ui, {}) != StartupOutcome::Run)
        return ExitFailure;
    const std::optional<ItemId> id = findItem(catalogue, request.item);
    if (!id) {
        std::fprintf(stderr, "unknown ITEM %s\nusage: q57backup-cli %s", request.item.c_str(), usage().c_str());
        return ExitUsage;
    }

    DataItem &item = catalogue.item(*id);
    item.selected = true;
    placeFile(item, request.file);
    item.resetTransferState();
    catalogue.item(AddressBook).capacity = request.capacity;
    settings.jobFlags.backupMode = false;
    FormatContext formats(settings.statusLog, ui, catalogue.item(AddressBook), catalogue.item(Quicktext));
    formats.deviceLevelTwo = request.levelTwo;

    settings.openStatusLog(ui);
    settings.statusLog.setEcho(echoToStandardOutput);
    settings.statusLog.log("====================\n");
    settings.statusLog.log("Validating Files....\n");
    settings.statusLog.log("====================\n");
    const bool accepted = validateForRestore(*id, item, formats, settings.jobFlags);
    item.releaseItem(restoreReleaseMode(*id));
    settings.statusLog.close();
    return accepted ? ExitSuccess : ExitFailure;
}

} // namespace q57::cli
