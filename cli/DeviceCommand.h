// SPDX-License-Identifier: MIT
#pragma once
// The commands that run a job against the device: "backup", "restore" and
// "clear". They start like the window (settings, catalogue, one device
// session), hand the job to the job runner with the command line's choices,
// echo the status log to standard output and save the settings at the end as
// the window does when it closes. A command line that is not understood is
// refused before anything is loaded or saved.
//
// Ctrl-C is a confirmed quit: the job stops at its next checkpoint, and a
// question waiting for its answer is answered Cancel/No. A second Ctrl-C (more
// than 50 ms after the first: see InterruptWatch), or SIGTERM, ends the program
// at once (exit 130 or 143), after deleting the job's temporary files and giving
// the port its settings back; an item's file that a backup already put in place
// stays. Exit 0 when the job succeeded, 1 when not,
// 2 for a command line that was not understood.

#include "app/PortChoice.h"
#include "cli/Command.h"

#include <map>
#include <optional>
#include <set>
#include <string>

namespace q57 {
class ItemCatalogue;
class UserInteraction;
struct JobChoices;
} // namespace q57

namespace q57::cli {

class DeviceCommand : public Command {
public:
    enum class Job { Backup, Restore, Clear };

    std::string usage() const override;
    int run(const std::vector<std::string> &arguments) override;

protected:
    explicit DeviceCommand(Job job) : job_(job) {}

private:
    struct Request {
        std::optional<std::set<std::string>> items; // settings keys
        std::map<std::string, std::string> files;   // settings key -> path
        std::optional<PortChoice> port;             // --port: a serial port, kept in the settings
        std::optional<PortChoice> udp;              // --udp: for this run only
        bool yes = false;
    };

    // The request, or nothing after the reason has been written to standard error.
    std::optional<Request> parse(const std::vector<std::string> &arguments) const;
    bool takesValue(const std::string &option) const;
    // Takes one option's value into the request; the reason when it is refused.
    std::string takeOption(const std::string &option, const std::string &value, Request &request) const;
    JobChoices choicesFor(const Request &request, ItemCatalogue &catalogue) const;
    bool filesUsable(const JobChoices &choices, ItemCatalogue &catalogue, UserInteraction &ui) const;
    int runJob(const Request &request) const;

    Job job_;
};

class BackupCommand : public DeviceCommand {
public:
    BackupCommand() : DeviceCommand(Job::Backup) {}
    const char *name() const override { return "backup"; }
};

class RestoreCommand : public DeviceCommand {
public:
    RestoreCommand() : DeviceCommand(Job::Restore) {}
    const char *name() const override { return "restore"; }
};

class ClearCommand : public DeviceCommand {
public:
    ClearCommand() : DeviceCommand(Job::Clear) {}
    const char *name() const override { return "clear"; }
};

} // namespace q57::cli
