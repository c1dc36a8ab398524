// SPDX-License-Identifier: MIT
#include "StagingFixture.h"

#include "tests/support/FileBytes.h"
#include "tests/support/ScratchFolder.h"

#include <fstream>
#include <sstream>

namespace q57::test {

StagingFixture::StagingFixture()
    : folder(testing::makeScratchFolder("q57-staging")), context(log, ui, addressBook, quicktext)
{
    log.openAt((folder / "statusLog.txt").string());
    log.setEcho([this](const std::string &text) { logged += text; });
    flags.backupMode = false;
}

StagingFixture::~StagingFixture()
{
    log.close();
    addressBook.closeStreams();
    quicktext.closeStreams();
    std::filesystem::remove_all(folder);
}

void StagingFixture::setUpItem(DataItem &item, const std::string &displayName, const std::string &extension,
                               const std::string &fileName) const
{
    item.displayName = displayName;
    item.extension = extension;
    item.tempName = "~" + extension + "xxxx.tmp";
    item.directory = folder.string() + "/";
    item.fileName = fileName;
    item.selected = true;
}

void StagingFixture::writeFile(const std::string &name, const std::string &bytes) const
{
    std::ofstream(folder / name, std::ios::binary) << bytes;
}

std::string StagingFixture::readFile(const std::string &name) const
{
    return q57::testing::readWhole(folder / name);
}

std::set<std::string> StagingFixture::files() const
{
    std::set<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename() != "statusLog.txt")
            names.insert(entry.path().filename().string());
    return names;
}

std::string StagingFixture::streamText(DataItem &item)
{
    std::ostringstream text;
    text << item.stream.rdbuf();
    return text.str();
}

} // namespace q57::test
