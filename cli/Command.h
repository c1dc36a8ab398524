// SPDX-License-Identifier: MIT
#pragma once
// One command of q57backup-cli: its name (the first argument), its usage line,
// and what it does with the arguments after the name. The exit codes are shared
// by every command.

#include <string>
#include <vector>

namespace q57::cli {

enum ExitCode : int {
    ExitSuccess = 0, // done; for validate: the file would be accepted
    ExitFailure = 1, // the command ran and the answer is no
    ExitUsage = 2,   // the command line was not understood
};

class Command {
public:
    virtual ~Command() = default;
    virtual const char *name() const = 0;
    // The arguments after the program name, e.g. "validate ITEM FILE [--level2]".
    virtual std::string usage() const = 0;
    virtual int run(const std::vector<std::string> &arguments) = 0;
};

} // namespace q57::cli
