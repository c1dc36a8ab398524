#include "jobs/ItemStaging.h"

#include "app/DataItem.h"
#include "app/JobFlags.h"
#include "app/StatusLog.h"
#include "app/UserInteraction.h"

#include <cctype>
#include <cstdio>

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

bool openPass(DataItem &item, const std::string &source, bool withOutput, const JobFlags &flags,
              UserInteraction &ui, StatusLog &log)
{
    item.closeStreams();
    item.stream.open(item.directory + source, std::ios::in | std::ios::binary);
    if (!item.stream.is_open()) {
        if (source == item.fileName)
            showAndLog(ui, log, formatText("Cannot %s %s. File '%s' is in use.", verb(flags),
                                           item.displayName.c_str(), source.c_str()));
        else
            showAndLog(ui, log, formatText("Cannot %s %s. Remove temporary file '%s' and retry.", verb(flags),
                                           item.displayName.c_str(), (item.directory + source).c_str()));
        return false;
    }
    if (!withOutput)
        return true;
    const std::string output = item.directory + outputName(item, source);
    item.passOutput.open(output, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!item.passOutput.is_open()) {
        showAndLog(ui, log, formatText("Cannot %s %s. Remove temporary file '%s' and retry.", verb(flags),
                                       item.displayName.c_str(), output.c_str()));
        return false;
    }
    return true;
}

void advancePass(DataItem &item, std::string &name)
{
    if (name != item.fileName)
        std::remove((item.directory + name).c_str());
    name = name == item.tempName ? item.tempName + "2" : item.tempName;
}

void discardPassOutput(DataItem &item, const std::string &name)
{
    std::remove((item.directory + outputName(item, name)).c_str());
}

} // namespace q57
