// SPDX-License-Identifier: MIT
// sppDescribePort: which device a serial port name opens, and whether this
// process could open it, found without opening it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "link/include/spp.h"
#include "link/src/PortNames.h"

using namespace spp;

namespace {

bool isUtf8Continuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// A path too long for devicePath is cut at a character boundary: front ends
// show it, and half a UTF-8 character would show as garbage.
void setDevicePath(SppPortInfo &info, const std::string &path)
{
    size_t length = std::min(path.size(), sizeof info.devicePath - 1);
    if (length < path.size()) {
        info.truncated = 1;
        while (length > 0 && isUtf8Continuation(path[length]))
            --length;
    }
    std::memcpy(info.devicePath, path.data(), length);
    info.devicePath[length] = '\0';
}

// The device behind a ports folder entry. Resolved, a relative link names
// the real file; a link that leads nowhere can only be shown as written.
std::string entryTarget(const std::string &entry)
{
    char resolved[PATH_MAX];
    if (realpath(entry.c_str(), resolved) != nullptr)
        return resolved;
    char text[PATH_MAX];
    const ssize_t length = readlink(entry.c_str(), text, sizeof text);
    return length > 0 ? std::string(text, static_cast<size_t>(length)) : entry;
}

} // namespace

extern "C" {

SPP_API uint16_t sppDescribePort(const char *portName, SppPortInfo *info)
{
    if (info != nullptr)
        std::memset(info, 0, sizeof *info);
    if (portName == nullptr || info == nullptr || !isSerialPortName(portName))
        return 0;
    // Only what sppInit keeps of the name reaches sppOpen.
    char kept[sizeof(SppHandle::portName)] = {};
    std::strncpy(kept, portName, sizeof kept - 1);
    std::string device;
    if (!resolvePortDevice(kept, device))
        return 0;
    // Checked on the path sppOpen opens: a link is followed from its own
    // folder, wherever the caller's working directory is.
    struct stat status {};
    info->present = stat(device.c_str(), &status) == 0 ? 1 : 0;
    info->permitted = info->present != 0 && faccessat(AT_FDCWD, device.c_str(), R_OK | W_OK, AT_EACCESS) == 0;
    info->fromPortsFolder = device == portEntryPath(kept) ? 1 : 0;
    setDevicePath(*info, info->fromPortsFolder != 0 ? entryTarget(device) : device);
    return 1;
}

} // extern "C"
