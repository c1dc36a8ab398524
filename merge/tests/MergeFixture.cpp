// SPDX-License-Identifier: MIT
#include "MergeFixture.h"

#include "app/TempFolder.h"
#include "tests/support/FileBytes.h"

#include <unistd.h>

#include <fstream>
#include <iterator>

namespace q57::test {

namespace fs = std::filesystem;

MergeFixture::MergeFixture()
    : data((root / "data").string() + "/"),
      temp(privateFolderIn(FolderBases::fromEnvironment().temp)),
      services{catalogue, ui, settings.runtime.statusLog, temp, (root / "config/").string(), {}}
{
    fs::create_directories(data);
    q57.directory = data;
    q57.fileName = "q57.adr";
    w300.directory = data;
    w300.fileName = "w300.adr";
    catalogue.item(MergedAddressBook).fileName = "mergedab.adr";
}

std::string MergeFixture::writeData(const std::string &name, const std::string &bytes) const
{
    writeFile(data + name, bytes);
    return data + name;
}

void MergeFixture::writeFile(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string MergeFixture::readFile(const std::string &path)
{
    return q57::testing::readWhole(path);
}

std::set<std::string> MergeFixture::tempFiles() const
{
    std::set<std::string> names;
    for (const auto &entry : fs::directory_iterator(temp))
        names.insert(entry.path().filename().string());
    return names;
}

bool MergeFixture::openInThisProcess(const std::string &path)
{
    for (const auto &entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const fs::path target = fs::read_symlink(entry.path(), error);
        if (!error && target == fs::weakly_canonical(path))
            return true;
    }
    return false;
}

} // namespace q57::test
