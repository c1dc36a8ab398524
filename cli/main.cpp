// q57backup-cli: the command-line front end. The first argument names the
// command; each command is a class of its own.

#include "cli/DeviceCommand.h"
#include "cli/ValidateCommand.h"

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
    return commands;
}

void printUsage(std::FILE *to, const std::vector<std::unique_ptr<Command>> &commands)
{
    std::fprintf(to, "usage:\n");
    for (const auto &command : commands)
        std::fprintf(to, "  q57backup-cli %s", command->usage().c_str());
}

} // namespace

int main(int argc, char **argv)
{
    const auto commands = makeCommands();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (!arguments.empty() && (arguments[0] == "--help" || arguments[0] == "-h")) {
        printUsage(stdout, commands);
        return q57::cli::ExitSuccess;
    }
    for (const auto &command : commands) {
        if (!arguments.empty() && arguments[0] == command->name())
            return command->run(std::vector<std::string>(arguments.begin() + 1, arguments.end()));
    }
    printUsage(stderr, commands);
    return q57::cli::ExitUsage;
}
