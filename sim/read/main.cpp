// SPDX-License-Identifier: MIT
// q57sim-read: reads one item from the device over the link and writes its
// bytes (device form) to standard output or a file.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sim/read/ReadClient.h"

namespace {

const char *kUsage =
    "Usage: q57sim-read [--port COMn|ADDRESS] [--item ID] [--mask MASK] [--file NAME] [--output FILE]\n"
    "  --port    COM1 (default) or a UDP address such as 127.0.0.2\n"
    "  --item    0 Preferences, 1 Address Book (default), 2 Folders, 3 Memos, 4 Quicktext,\n"
    "            5 Test File, 6 File (with --file NAME)\n"
    "  --mask    selection mask sent with the request (default 0xA000: backup of the address book)\n"
    "  --output  where the bytes go (default: standard output)\n";

struct ReadArguments {
    std::string port = "COM1";
    unsigned long item = 1;
    unsigned long mask = 0xA000;
    std::string fileName;
    std::string output;
};

bool parseNumber(const char *text, unsigned long maximum, unsigned long &value)
{
    char *end = nullptr;
    value = std::strtoul(text, &end, 0);
    return *text != '\0' && *end == '\0' && value <= maximum;
}

bool parseArguments(int argc, char **argv, ReadArguments &arguments)
{
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 == argc)
            return false;
        const char *value = argv[++i];
        if (name == "--port")
            arguments.port = value;
        else if (name == "--item" && parseNumber(value, 6, arguments.item))
            continue;
        else if (name == "--mask" && parseNumber(value, 0xFFFF, arguments.mask))
            continue;
        else if (name == "--file")
            arguments.fileName = value;
        else if (name == "--output")
            arguments.output = value;
        else
            return false;
    }
    return true;
}

bool writeOut(const std::string &path, const std::vector<uint8_t> &data)
{
    FILE *out = path.empty() ? stdout : std::fopen(path.c_str(), "wb");
    if (out == nullptr)
        return false;
    const bool written = std::fwrite(data.data(), 1, data.size(), out) == data.size();
    return (path.empty() ? std::fflush(out) : std::fclose(out)) == 0 && written;
}

} // namespace

int main(int argc, char **argv)
{
    ReadArguments arguments;
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!parseArguments(argc, argv, arguments)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    q57::sim::ReadClient client;
    std::vector<uint8_t> data;
    if (!client.connect(arguments.port) ||
        !client.readItem(static_cast<uint8_t>(arguments.item), static_cast<uint16_t>(arguments.mask),
                         arguments.fileName, data)) {
        std::fprintf(stderr, "q57sim-read: %s\n", client.error().c_str());
        return 1;
    }
    client.close();
    if (!writeOut(arguments.output, data)) {
        std::fprintf(stderr, "q57sim-read: cannot write %s\n", arguments.output.c_str());
        return 1;
    }
    return 0;
}
