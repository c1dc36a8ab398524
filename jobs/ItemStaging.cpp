// SPDX-License-Identifier: MIT
#include "jobs/ItemStaging.h"

#include "app/DataItem.h"
#include "app/ItemCatalogue.h"
#include "app/JobFlags.h"
#include "app/StatusLog.h"
#include "app/UserInteraction.h"
#include "files/DurableFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>

namespace q57 {

namespace {

const char *verb(const JobFlags &flags)
{
    return flags.backupMode ? "backup" : "validate";
}

// The temporary file that a pass reading `source` writes.
std::string outputName(const DataItem &item, const std::string &source)
{
    return source == item.tempName ? item.tempName + "2" : item.tempName;
}

bool isSpace(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

} // namespace

void showAndLog(UserInteraction &ui, StatusLog &log, const std::string &text)
{
    ui.showMessage(text);
    log.logText(text);
}

void trimFileName(DataItem &item)
{
    std::string &name = item.fileName;
    size_t begin = 0;
    while (begin < name.size() && isSpace(name[begin]))
        ++begin;
    size_t end = name.size();
    while (end > begin && isSpace(name[end - 1]))
        --end;
    name = name.substr(begin, end - begin);
}

bool openPass(DataItem &item, const std::string &source, bool withOutput, const JobFlags &flags, UserInteraction &ui,
              StatusLog &log)
{
    item.closeStreams();
    item.stream.open(item.directory + source, std::ios::in | std::ios::binary);
    if (!item.stream.is_open()) {
        if (source == item.fileName)
            showAndLog(ui, log,
                       formatText("Cannot %s %s. File '%s' is in use.", verb(flags), item.displayName.c_str(),
                                  source.c_str()));
        else
            showAndLog(ui, log,
                       formatText("Cannot %s %s. Remove temporary file '%s' and retry.", verb(flags),
                                  item.displayName.c_str(), (item.directory + source).c_str()));
        return false;
    }
    return !withOutput || openPassOutput(item, source, flags, ui, log);
}

bool openPassOutput(DataItem &item, const std::string &source, const JobFlags &flags, UserInteraction &ui,
                    StatusLog &log)
{
    const std::string output = item.directory + outputName(item, source);
    if (createFreshFile(output))
        item.passOutput.open(output, std::ios::out | std::ios::binary);
    if (!item.passOutput.is_open()) {
        showAndLog(ui, log,
                   formatText("Cannot %s %s. Remove temporary file '%s' and retry.", verb(flags),
                              item.displayName.c_str(), output.c_str()));
        return false;
    }
    return true;
}

bool closePass(DataItem &item, const std::string &source, const JobFlags &flags, UserInteraction &ui, StatusLog &log)
{
    const bool written = finishWriting(item.passOutput);
    item.closeStreams();
    if (written)
        return true;
    const std::string output = item.directory + outputName(item, source);
    ::unlink(output.c_str());
    showAndLog(ui, log,
               formatText("Cannot %s %s. Unable to write temporary file '%s'.", verb(flags), item.displayName.c_str(),
                          output.c_str()));
    return false;
}

std::set<std::string> temporaryNames(const ItemCatalogue &catalogue)
{
    std::set<std::string> names;
    for (size_t id = 0; id < ItemCount; ++id) {
        const DataItem &item = catalogue.item(static_cast<ItemId>(id));
        names.insert(item.tempName);
        names.insert(item.tempName + "2");
    }
    return names;
}

bool sameFile(const std::string &a, const std::string &b)
{
    namespace fs = std::filesystem;
    if (fs::path(a).lexically_normal() == fs::path(b).lexically_normal())
        return true;
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

void advancePass(DataItem &item, std::string &name)
{
    if (name != item.fileName)
        ::unlink((item.directory + name).c_str());
    name = name == item.tempName ? item.tempName + "2" : item.tempName;
}

void discardPassOutput(DataItem &item, const std::string &name)
{
    ::unlink((item.directory + outputName(item, name)).c_str());
}

} // namespace q57
