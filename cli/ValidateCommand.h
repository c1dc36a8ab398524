// SPDX-License-Identifier: MIT
#pragma once
// "validate ITEM FILE [--level2] [--capacity N]": runs the restore validation of
// one item on FILE, offline, exactly as a restore would, with the validation's
// status log echoed to standard output. FILE is only read: the validation works
// on a copy in a staging folder of its own (see ValidationStaging), and the
// last job's status log is left alone.

#include "cli/Command.h"

#include <cstdint>
#include <optional>

namespace q57::cli {

class ValidateCommand : public Command {
public:
    const char *name() const override { return "validate"; }
    std::string usage() const override;
    int run(const std::vector<std::string> &arguments) override;

private:
    struct Request {
        std::string item; // a device item's settings key
        std::string file;
        bool levelTwo = false;
        uint16_t capacity = 0;
    };

    // The request, or nothing after the reason has been written to standard error.
    std::optional<Request> parse(const std::vector<std::string> &arguments) const;
    int validate(const Request &request) const;
};

} // namespace q57::cli
