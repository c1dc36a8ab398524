// SPDX-License-Identifier: MIT
#include "session/PortAccessHint.h"

#include "link/include/spp.h"

namespace q57 {

std::string portAccessHint(const PortChoice &port)
{
    SppPortInfo info;
    if (!port.serialNumber() || sppDescribePort(port.linkPortName().c_str(), &info) == 0 || info.present == 0 ||
        info.permitted != 0)
        return {};
    const std::string device = std::string(info.devicePath) + (info.truncated != 0 ? "\u2026" : "");
    return "Serial port " + port.label() + " is " + device +
           ", which this user may not open: join the dialout group (sudo adduser $USER dialout) and log in again.\n";
}

} // namespace q57
