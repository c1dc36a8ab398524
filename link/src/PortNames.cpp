// SPDX-License-Identifier: MIT
#include "link/src/PortNames.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace spp {
namespace {

// "COM1:" -> "com1"; empty when the name could reach outside the ports folder.
std::string entryName(const char *portName)
{
    std::string_view given(portName);
    if (!given.empty() && given.back() == ':')
        given.remove_suffix(1);
    if (given.find('/') != std::string_view::npos || given == "." || given == "..")
        return {};
    std::string name(given.size(), '\0');
    std::transform(given.begin(), given.end(), name.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return name;
}

// "comN" with N >= 1 -> N - 1, else -1.
long serialIndex(const std::string &name)
{
    if (name.size() < 4 || name.compare(0, 3, "com") != 0 || name[3] == '0')
        return -1;
    long number = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])) || number > 100000)
            return -1;
        number = number * 10 + (name[i] - '0');
    }
    return number - 1;
}

} // namespace

bool isSerialPortName(const char *port)
{
    return std::strlen(port) >= 3 && (port[0] | 0x20) == 'c' && (port[1] | 0x20) == 'o' && (port[2] | 0x20) == 'm';
}

std::string portsFolder()
{
    const char *config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config != nullptr && config[0] == '/') {
        base = config;
    } else {
        const char *home = std::getenv("HOME");
        if (home == nullptr || home[0] == '\0')
            return {};
        base = home;
        base += "/.config";
    }
    if (base.back() != '/')
        base += '/';
    base += "Zantherix/ports/";
    return base;
}

std::string portEntryPath(const char *portName)
{
    const std::string name = entryName(portName);
    const std::string folder = portsFolder();
    return name.empty() || folder.empty() ? std::string() : folder + name;
}

bool resolvePortDevice(const char *portName, std::string &devicePath)
{
    const std::string name = entryName(portName);
    if (name.empty())
        return false;
    struct stat entry {};
    // lstat: a dangling link still names the user's choice and must not fall
    // back silently to a built-in port.
    const std::string entryPath = portEntryPath(portName);
    if (!entryPath.empty() && lstat(entryPath.c_str(), &entry) == 0) {
        devicePath = entryPath;
        return true;
    }
    const long index = serialIndex(name);
    if (index < 0)
        return false;
    devicePath = "/dev/ttyS";
    devicePath += std::to_string(index);
    return true;
}

} // namespace spp
