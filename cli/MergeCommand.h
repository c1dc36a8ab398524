// SPDX-License-Identifier: MIT
#pragma once
// "merge [--q57 FILE] [--w300 FILE]": merges the Q57 and the W300 address book
// into the Merged Address Book file beside the Q57 file, as the merge window
// does, but without the preview. The files are the Q57 and W300 Address Book
// items' files of last time; a file given here is used for this run only and
// nothing is saved. Exit 0 when the merged file was written (its path on
// standard output), 1 when not (the reason on standard error), 2 for a command
// line that was not understood.

#include "cli/Command.h"

#include <optional>

namespace q57::cli {

class MergeCommand : public Command {
public:
    const char *name() const override { return "merge"; }
    std::string usage() const override;
    int run(const std::vector<std::string> &arguments) override;

private:
    struct Request {
        std::string q57File;  // empty: the item's file
        std::string w300File; // likewise
    };

    // The request, or nothing after the reason has been written to standard error.
    std::optional<Request> parse(const std::vector<std::string> &arguments) const;
    int merge(const Request &request) const;
};

} // namespace q57::cli
