// SPDX-License-Identifier: MIT
#include "formats/DeviceBlockFile.h"

#include "app/StatusLog.h"
#include "formats/FormatContext.h"

#include <array>
#include <istream>
#include <ostream>

namespace q57 {

namespace {

struct BlockFileType {
    char header;              // written by this version of the program
    int fileType;             // low nibble of the header
    const char *wrongTypeLog; // logged when the low nibble names another type
};

constexpr BlockFileType Preferences{0x20, 0, "File cannot be restored. It's not a preferences file.\n"};
constexpr BlockFileType Folders{0x22, 2, "File cannot be restored. It's not a folders file.\n"};
constexpr int NewestVersion = 2;

void copyComplemented(std::istream &input, std::ostream &output)
{
    std::array<char, 4096> block{};
    for (;;) {
        input.read(block.data(), block.size());
        const std::streamsize got = input.gcount();
        if (got <= 0)
            return;
        for (std::streamsize i = 0; i < got; ++i)
            block[static_cast<size_t>(i)] = static_cast<char>(~block[static_cast<size_t>(i)]);
        output.write(block.data(), got);
    }
}

bool writeBlockFile(const BlockFileType &type, std::istream &input, std::ostream &output)
{
    output.put(type.header);
    copyComplemented(input, output);
    return true;
}

bool readBlockFile(const BlockFileType &type, FormatContext &context, std::istream &input, std::ostream &output)
{
    const int header = input.get();
    // An empty file has no version at all; it is refused like a newer one.
    const int version = header == std::char_traits<char>::eof() ? 15 : (header >> 4) & 0x0F;
    if (version > NewestVersion) {
        context.log.log("File cannot be restored. It was created using an older version of Q57 Backup.\n");
        return false;
    }
    if ((header & 0x0F) != type.fileType) {
        context.log.log("%s", type.wrongTypeLog);
        return false;
    }
    copyComplemented(input, output);
    return true;
}

} // namespace

bool preferencesToFile(FormatContext &, std::istream &input, std::ostream &output)
{
    return writeBlockFile(Preferences, input, output);
}

bool preferencesFromFile(FormatContext &context, std::istream &input, std::ostream &output)
{
    return readBlockFile(Preferences, context, input, output);
}

bool foldersToFile(FormatContext &, std::istream &input, std::ostream &output)
{
    return writeBlockFile(Folders, input, output);
}

bool foldersFromFile(FormatContext &context, std::istream &input, std::ostream &output)
{
    return readBlockFile(Folders, context, input, output);
}

} // namespace q57
