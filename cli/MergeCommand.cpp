// SPDX-License-Identifier: MIT
#include "cli/MergeCommand.h"

#include "app/JobLock.h"
#include "app/PrintableText.h"
#include "app/TerminalInteraction.h"
#include "cli/CommandLineWords.h"
#include "core/ProgramCore.h"
#include "merge/AddressBookMerge.h"

#include <cstdio>

namespace q57::cli {

std::string MergeCommand::usage() const
{
    return "merge [--q57 FILE] [--w300 FILE]\n"
           "    Merges the Q57 and W300 address books into the merged address book\n"
           "    beside the Q57 file, without a preview.\n"
           "    --q57 FILE   the Q57 address book (default: the one of last time)\n"
           "    --w300 FILE  the W300 address book (default: the one of last time)\n";
}

std::optional<MergeCommand::Request> MergeCommand::parse(const std::vector<std::string> &arguments) const
{
    Request request;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        const size_t equals = argument.find('=');
        const bool joined = argument.rfind("--", 0) == 0 && equals != std::string::npos;
        const std::string option = joined ? argument.substr(0, equals) : argument;
        if (option != "--q57" && option != "--w300") {
            refuse("unknown argument '" + argument + "'");
            return std::nullopt;
        }
        if (!joined && i + 1 == arguments.size()) {
            refuse(option + " needs a file");
            return std::nullopt;
        }
        const std::string file = joined ? argument.substr(equals + 1) : arguments[++i];
        if (file.empty()) {
            refuse(option + " needs a file");
            return std::nullopt;
        }
        (option == "--q57" ? request.q57File : request.w300File) = fullPath(file);
    }
    return request;
}

int MergeCommand::run(const std::vector<std::string> &arguments)
{
    const std::optional<Request> request = parse(arguments);
    if (!request) {
        std::fprintf(stderr, "usage: q57backup-cli %s", usage().c_str());
        return ExitUsage;
    }
    return merge(*request);
}

int MergeCommand::merge(const Request &request) const
{
    TerminalInteraction ui(false, stderr, -1); // nothing here asks a question
    ProgramCore core(ui);
    // No arguments are passed on: a file name must never be taken for
    // "delregkey". No job runs, so the last job's status log stays.
    if (core.start({}, LastStatusLog::Keep) != StartupOutcome::Run)
        return ExitFailure;
    AppSettings &settings = core.settings();
    ItemCatalogue &catalogue = core.catalogue();
    // Nothing is saved afterwards (no finish()), so these choices last one run.
    if (!request.q57File.empty())
        catalogue.item(Q57AddressBook).splitFullPath(request.q57File);
    if (!request.w300File.empty())
        catalogue.item(W300AddressBook).splitFullPath(request.w300File);

    const MergeServices services{
        catalogue, ui, settings.runtime.statusLog, settings.paths.tempDirectory, settings.paths.lockDirectory, {}};
    JobLock lock;
    if (!takeMergeLock(lock, services))
        return ExitFailure;
    const std::string merged = placeMergeWithoutPreview(services);
    if (merged.empty())
        return ExitFailure;
    std::printf("Merged address book written to '%s'.\n", printableText(merged).c_str());
    return ExitSuccess;
}

} // namespace q57::cli
