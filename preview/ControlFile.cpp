// SPDX-License-Identifier: MIT
#include "preview/ControlFile.h"

#include "app/TempFolder.h"
#include "preview/PreviewContract.h"

#include <fstream>
#include <unistd.h>
#include <sstream>

namespace q57::preview {

namespace {

// Two paths and their line breaks; anything longer is not a control file.
constexpr std::streamsize LongestControlFile = 2 * 4096 + 4;

std::string withoutLineEnd(std::string line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    return line;
}

} // namespace

// The library has its own copy of the program's code, so it works the folder
// out again by the program's rule, for the process it runs in.
std::string controlFilePath()
{
    const PrivateFolder folder = findPrivateFolder(FolderBases::fromEnvironment(), ::getpid());
    return folder.path.empty() ? std::string() : folder.path + ControlFileName;
}

std::optional<PreviewPaths> readControlFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open())
        return std::nullopt;
    std::string text(static_cast<size_t>(LongestControlFile) + 1, '\0');
    file.read(text.data(), LongestControlFile + 1);
    if (file.bad() || file.gcount() > LongestControlFile)
        return std::nullopt;
    text.resize(static_cast<size_t>(file.gcount()));
    const size_t lineEnd = text.find('\n');
    if (lineEnd == std::string::npos)
        return std::nullopt;
    PreviewPaths paths{withoutLineEnd(text.substr(0, lineEnd)), withoutLineEnd(text.substr(lineEnd + 1))};
    if (paths.shown.empty() || paths.result.empty() || paths.result.find('\n') != std::string::npos)
        return std::nullopt;
    return paths;
}

} // namespace q57::preview
