// SPDX-License-Identifier: MIT
// q57backup-cli: the command-line front end. The first argument names the
// command; each command is a class of its own.

#include "cli/DeviceCommand.h"
#include "cli/MergeCommand.h"
#include "cli/ValidateCommand.h"
#include "q57/ProjectVersion.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using q57::cli::Command;

std::vector<std::unique_ptr<Command>> makeCommands()
{
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<q57::cli::BackupCommand>());
    commands.push_back(std::make_unique<q57::cli::RestoreCommand>());
    commands.push_back(std::make_unique<q57::cli::ClearCommand>());
    commands.push_back(std::make_unique<q57::cli::ValidateCommand>());
    commands.push_back(std::make_unique<q57::cli::MergeCommand>());
    return commands;
}

bool isHelp(const std::string &argument)
{
    return argument == "--help" || argument == "-h";
}

void printUsage(std::FILE *to, const std::vector<std::unique_ptr<Command>> &commands)
{
    std::fprintf(to, "usage:\n  q57backup-cli --help | --version\n");
    for (const auto &command : commands)
        std::fprintf(to, "  q57backup-cli %s", command->usage().c_str());
}

} // namespace

int main(int argc, char **argv)
{
    const auto commands = makeCommands();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (!arguments.empty() && isHelp(arguments[0])) {
        printUsage(stdout, commands);
        return q57::cli::ExitSuccess;
    }
    if (arguments.size() == 1 && arguments[0] == "--version") {
        std::printf("q57backup-cli %s\n", q57::ProjectVersion);
        return q57::cli::ExitSuccess;
    }
    for (const auto &command : commands) {
        if (arguments.empty() || arguments[0] != command->name())
            continue;
        const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
        // The help words ask for help wherever they stand (a file of that name is "./--help").
        if (std::any_of(rest.begin(), rest.end(), isHelp)) {
            std::printf("usage: q57backup-cli %s", command->usage().c_str());
            return q57::cli::ExitSuccess;
        }
        return command->run(rest);
    }
    printUsage(stderr, commands);
    return q57::cli::ExitUsage;
}
