#include "cli/DeviceCommand.h"

#include "app/AppSettings.h"
#include "app/ItemCatalogue.h"
#include "app/Startup.h"
#include "cli/CliInteraction.h"
#include "cli/InterruptWatch.h"
#include "formats/FormatContext.h"
#include "jobs/JobRunner.h"
#include "session/DeviceSession.h"

#include <cstdio>
#include <filesystem>
#include <sstream>

namespace q57::cli {

namespace {

constexpr ItemId DeviceItems[] = {Preferences, AddressBook, Folders, Memos, Quicktext};
constexpr const char *ItemKeys[] = {"preferences", "addressBook", "folders", "memos", "quicktext"};
// How often the front end's thread looks at the job while it waits for Ctrl-C.
constexpr int WatchIntervalMs = 200;

bool isItemKey(const std::string &key)
{
    for (const char *known : ItemKeys) {
        if (key == known)
            return true;
    }
    return false;
}

std::optional<int> portIndex(const std::string &name)
{
    for (size_t i = 0; i < AppSettings::PortNames.size(); ++i) {
        std::string known = AppSettings::PortNames[i];
        if (!known.empty() && known.back() == ':')
            known.pop_back();
        if (name == known || name + ":" == AppSettings::PortNames[i])
            return static_cast<int>(i);
    }
    return std::nullopt;
}

// A relative path names a file in the current directory, as a shell user means it.
std::string fullPath(const std::string &path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

} // namespace

std::string DeviceCommand::usage() const
{
    std::string text = name();
    if (job_ == Job::Clear)
        return text + " [--port COM1..COM8|NONE] [--udp ADDRESS] [--yes]\n"
                      "    Empties the device's address book after asking.\n";
    text += " [--items LIST] [--file ITEM=PATH]... [--port COM1..COM8|NONE] [--udp ADDRESS] [--yes]\n";
    text += job_ == Job::Backup ? "    Copies the items from the device into their files.\n"
                                : "    Checks the items' files and writes them to the device.\n";
    text += "    --items LIST      comma list of preferences,addressBook,folders,memos,quicktext\n"
            "                      (default: the items selected last time)\n"
            "    --file ITEM=PATH  the item's file (default: its file of last time)\n"
            "    --port NAME       the serial port (default: the port of last time)\n"
            "    --udp ADDRESS     reach the device over UDP at ADDRESS\n"
            "    --yes             answer OK/Yes to every question\n";
    return text;
}

bool DeviceCommand::takeOption(const std::string &option, const std::string &value, Request &request) const
{
    if (option == "--port") {
        request.port = portIndex(value);
        return request.port.has_value();
    }
    if (option == "--udp") {
        request.udpAddress = value;
        return !value.empty();
    }
    if (job_ == Job::Clear)
        return false;
    if (option == "--items") {
        std::set<std::string> keys;
        std::istringstream list(value);
        for (std::string key; std::getline(list, key, ',');) {
            if (!isItemKey(key))
                return false;
            keys.insert(key);
        }
        request.items = keys;
        return true;
    }
    if (option == "--file") {
        const size_t equals = value.find('=');
        if (equals == std::string::npos || !isItemKey(value.substr(0, equals)) || equals + 1 == value.size())
            return false;
        request.files[value.substr(0, equals)] = fullPath(value.substr(equals + 1));
        return true;
    }
    return false;
}

std::optional<DeviceCommand::Request> DeviceCommand::parse(const std::vector<std::string> &arguments) const
{
    Request request;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (argument == "--yes") {
            request.yes = true;
            continue;
        }
        std::string option = argument;
        std::string value;
        const size_t equals = argument.find('=');
        if (argument.rfind("--", 0) == 0 && equals != std::string::npos) {
            option = argument.substr(0, equals);
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            std::fprintf(stderr, "%s needs a value\n", argument.c_str());
            return std::nullopt;
        }
        if (!takeOption(option, value, request)) {
            std::fprintf(stderr, "not understood: %s %s\n", option.c_str(), value.c_str());
            return std::nullopt;
        }
    }
    return request;
}

int DeviceCommand::run(const std::vector<std::string> &arguments)
{
    const std::optional<Request> request = parse(arguments);
    if (!request) {
        std::fprintf(stderr, "usage: q57backup-cli %s", usage().c_str());
        return ExitUsage;
    }
    return runJob(*request);
}

JobChoices DeviceCommand::choicesFor(const Request &request, ItemCatalogue &catalogue) const
{
    JobChoices choices;
    for (ItemId id : DeviceItems) {
        const DataItem &item = catalogue.item(id);
        ItemChoice &choice = choices.items[id];
        choice.included = request.items ? request.items->count(item.key) != 0 : item.selected;
        const auto file = request.files.find(item.key);
        choice.fullPath = file != request.files.end() ? file->second : item.filePath();
    }
    return choices;
}

int DeviceCommand::runJob(const Request &request) const
{
    CliInteraction ui(request.yes);
    AppSettings settings;
    ItemCatalogue catalogue(settings, settings.jobFlags, ui, settings.statusLog);
    // No arguments are passed on: a file name must never be taken for "delregkey".
    if (startApplication(settings, catalogue, ui, {}) != StartupOutcome::Run)
        return ExitFailure;
    if (request.port)
        settings.port = static_cast<uint8_t>(*request.port);
    FormatContext formats(settings.statusLog, ui, catalogue.item(AddressBook), catalogue.item(Quicktext));
    DeviceSession session(settings, catalogue, formats, ui);
    session.setPortOverride(request.udpAddress);
    settings.statusLog.setEcho([&ui](const std::string &text) { ui.echoLog(text); });

    JobRunner runner(JobContext{settings, catalogue, session, formats, ui});
    InterruptWatch interrupts;
    const bool started = job_ == Job::Clear
                             ? runner.startClearAddressBook()
                             : runner.startBackupOrRestore(job_ == Job::Backup ? JobRunner::Job::Backup
                                                                               : JobRunner::Job::Restore,
                                                           choicesFor(request, catalogue));
    bool aborting = false;
    while (started && runner.busy()) {
        if (interrupts.waitForInterrupt(WatchIntervalMs) && !aborting) {
            aborting = true;
            runner.requestAbort();
        }
    }
    runner.wait();

    // What the window does when it closes.
    runner.releaseLastJob();
    settings.statusLog.close();
    settings.saveSettings();
    catalogue.saveCatalogue();
    return started && runner.succeeded() ? ExitSuccess : ExitFailure;
}

} // namespace q57::cli
