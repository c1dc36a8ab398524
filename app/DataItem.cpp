// SPDX-License-Identifier: MIT
#include "DataItem.h"

#include <unistd.h>

namespace q57 {

void DataItem::splitFullPath(const std::string &text)
{
    const auto slash = text.rfind('/');
    if (slash == std::string::npos) {
        fileName = text;
        return;
    }
    // A name straight below "/" is split too: kept whole, it would be appended
    // to the old directory and name a different file.
    directory = text.substr(0, slash + 1);
    fileName = text.substr(slash + 1);
}

void DataItem::setFromWindow(int checkState, const std::string &fullPath)
{
    selected = (checkState == 1);
    splitFullPath(fullPath);
    resetTransferState();
}

void DataItem::resetTransferState()
{
    size = 0;
    recordCount = 0;
    closeStreams();
}

void DataItem::closeStreams()
{
    if (stream.is_open())
        stream.close();
    if (passOutput.is_open())
        passOutput.close();
    stream.clear();
    passOutput.clear();
}

void DataItem::releaseItem(int mode)
{
    if (!selected)
        return;
    closeStreams();
    // unlink, not remove: a folder standing at a temporary file's name is not ours to delete.
    if (mode >= 1)
        ::unlink(tempPath().c_str());
    if (mode >= 2)
        ::unlink(tempPath2().c_str());
}

void DataItem::measureSize()
{
    stream.clear();
    stream.seekg(0, std::ios::end);
    const auto end = stream.tellg();
    size = end < 0 ? 0 : static_cast<uint32_t>(end);
    stream.clear();
    stream.seekg(0, std::ios::beg);
}

} // namespace q57
