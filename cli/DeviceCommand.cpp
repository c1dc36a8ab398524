// SPDX-License-Identifier: MIT
#include "cli/DeviceCommand.h"

#include "app/PrintableText.h"
#include "cli/CliInteraction.h"
#include "cli/CommandLineWords.h"
#include "cli/HostAddress.h"
#include "cli/InterruptWatch.h"
#include "cli/ItemFileCheck.h"
#include "cli/ItemNames.h"
#include "cli/PromptExit.h"
#include "core/ProgramCore.h"

#include <cstdio>
#include <filesystem>
#include <sstream>

namespace q57::cli {

namespace {

// The job's thread wakes the wait when it ends; the time-out only guards
// against a wake-up that never comes.
constexpr int WatchIntervalMs = 1000;

} // namespace

std::string DeviceCommand::usage() const
{
    std::string text = name();
    if (job_ == Job::Clear)
        return text + " [--port COM1..COM8 | --udp ADDRESS] [--yes]\n"
                      "    Empties the device's address book after asking.\n";
    text += " [--items LIST] [--file ITEM=PATH]... [--port COM1..COM8 | --udp ADDRESS] [--yes]\n";
    text += job_ == Job::Backup ? "    Copies the items from the device into their files.\n"
                                : "    Checks the items' files and writes them to the device.\n";
    text += "    --items LIST      comma list of " + deviceItemNames(",") +
            "\n"
            "                      (default: the items selected last time)\n"
            "    --file ITEM=PATH  the item's file (default: its file of last time)\n"
            "    --port NAME       the serial port (default: the port of last time)\n"
            "    --udp ADDRESS     reach the device over UDP at ADDRESS (IPv4 or host name)\n"
            "    --yes             answer OK/Yes to every question\n";
    return text;
}

bool DeviceCommand::takesValue(const std::string &option) const
{
    if (option == "--port" || option == "--udp")
        return true;
    return job_ != Job::Clear && (option == "--items" || option == "--file");
}

std::string DeviceCommand::takeOption(const std::string &option, const std::string &value, Request &request) const
{
    const std::string notUnderstood = "not understood: " + option + " " + value;
    if (option == "--port") {
        if (value == "NONE")
            return "--port NONE: the device is reached over UDP with --udp ADDRESS instead";
        request.port = PortChoice::fromCommandWord(value);
        return request.port ? "" : notUnderstood;
    }
    if (option == "--udp") {
        const std::optional<std::string> address = ipv4AddressOf(value);
        if (!address)
            return "--udp: no IPv4 address found for '" + value + "'";
        request.udp = PortChoice::udp(*address);
        return "";
    }
    if (option == "--items") {
        std::set<std::string> keys;
        std::istringstream list(value);
        for (std::string key; std::getline(list, key, ',');) {
            if (!deviceItemNamed(key))
                return notUnderstood;
            keys.insert(key);
        }
        request.items = keys;
        return "";
    }
    // --file ITEM=PATH
    const size_t equals = value.find('=');
    if (equals == std::string::npos || !deviceItemNamed(value.substr(0, equals)) || equals + 1 == value.size())
        return notUnderstood;
    request.files[value.substr(0, equals)] = fullPath(value.substr(equals + 1));
    return "";
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
        const size_t equals = argument.find('=');
        const bool joined = argument.rfind("--", 0) == 0 && equals != std::string::npos;
        const std::string option = joined ? argument.substr(0, equals) : argument;
        if (!takesValue(option)) {
            refuse("unknown argument '" + argument + "'");
            return std::nullopt;
        }
        if (!joined && i + 1 == arguments.size()) {
            refuse(option + " needs a value");
            return std::nullopt;
        }
        const std::string value = joined ? argument.substr(equals + 1) : arguments[++i];
        const std::string reason = takeOption(option, value, request);
        if (!reason.empty()) {
            refuse(reason);
            return std::nullopt;
        }
    }
    if (request.port && request.udp) {
        refuse("--port and --udp cannot be used together");
        return std::nullopt;
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
    for (const ItemId id : DeviceItemIds) {
        const DataItem &item = catalogue.item(id);
        ItemChoice &choice = choices.items[id];
        choice.included = request.items ? request.items->count(item.key) != 0 : item.selected;
        const auto file = request.files.find(item.key);
        choice.fullPath = file != request.files.end() ? file->second : item.filePath();
    }
    return choices;
}

bool DeviceCommand::filesUsable(const JobChoices &choices, ItemCatalogue &catalogue, UserInteraction &ui) const
{
    for (const ItemId id : DeviceItemIds) {
        const ItemChoice &choice = choices.items[id];
        if (!choice.included)
            continue;
        const std::string path = fullPath(choice.fullPath);
        const bool usable = job_ == Job::Backup ? backupFileUsable(path, catalogue.item(id).displayName, ui)
                                                : restoreFileUsable(path, ui);
        if (!usable)
            return false;
    }
    return true;
}

namespace {

// Waits for the job on the front end's thread. The first Ctrl-C asks the job
// to stop and answers a waiting question; a second one, or SIGTERM, ends the
// program at once.
void watchJob(JobRunner &runner, InterruptWatch &watch, CliInteraction &ui, const ItemCatalogue &catalogue,
              DeviceSession &session)
{
    bool aborting = false;
    while (runner.busy()) {
        const InterruptWatch::Arrivals arrived = watch.wait(WatchIntervalMs);
        if (arrived.terminate)
            endAtOnce(ExitAfterTerminate, catalogue, session, ui);
        if (arrived.interrupts == 0)
            continue;
        if (aborting || arrived.interrupts > 1)
            endAtOnce(ExitAfterInterrupt, catalogue, session, ui);
        aborting = true;
        // The flag first: a question that returns Cancel must find the job
        // already aborting, or the job ends as a plain failure and closes
        // the status log before the abort is written to it.
        runner.requestAbort();
        ui.cancelQuestions();
    }
}

} // namespace

int DeviceCommand::runJob(const Request &request) const
{
    CliInteraction ui(request.yes);
    ProgramCore core(ui);
    // No arguments are passed on: a file name must never be taken for "delregkey".
    if (core.start({}) != StartupOutcome::Run)
        return ExitFailure;
    AppSettings &settings = core.settings();
    ItemCatalogue &catalogue = core.catalogue();
    const JobChoices choices = choicesFor(request, catalogue);
    // Refused before the job, like a command line that is not understood: nothing is saved.
    if (job_ != Job::Clear && !filesUsable(choices, catalogue, ui))
        return ExitFailure;
    if (request.port)
        settings.stored.port = *request.port;
    core.session().setPortOverride(request.udp);
    settings.runtime.statusLog.setEcho([&ui](const std::string &text) { ui.echoLog(text); });

    InterruptWatch watch;
    JobRunner &runner = core.runner();
    runner.setThreadEndedHandler([&watch] { watch.wake(); });
    bool started = false;
    {
        const InterruptWatch::QuietThreads quiet; // the signals reach this thread, not the job's
        started = job_ == Job::Clear
                      ? runner.startClearAddressBook()
                      : runner.startBackupOrRestore(
                            job_ == Job::Backup ? JobRunner::Job::Backup : JobRunner::Job::Restore, choices);
    }
    if (started)
        watchJob(runner, watch, ui, catalogue, core.session());
    runner.wait();
    // No job thread is left to wake the watch, which ends before the core.
    runner.setThreadEndedHandler({});

    core.finish();
    return started && runner.succeeded() ? ExitSuccess : ExitFailure;
}

} // namespace q57::cli
