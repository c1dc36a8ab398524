// SPDX-License-Identifier: MIT
// Which device file a serial port name such as "COM1:" stands for.
#pragma once

#include <string>

namespace spp {

// Whether sppInit takes this port string for a serial port: it starts with
// "COM", in any case. Every other string is a UDP address.
bool isSerialPortName(const char *port);

// "COM1:" is looked up as "com1" in the ports folder
// ${XDG_CONFIG_HOME:-$HOME/.config}/Zantherix/ports/ (normally a symbolic link
// to the real device); without an entry there, "comN" is /dev/ttyS(N-1).
// False for a name that is neither.
bool resolvePortDevice(const char *portName, std::string &devicePath);

// The ports folder, ending in "/"; empty when neither variable is set.
std::string portsFolder();

// Where the ports folder entry for portName lives ("COM1:" -> <folder>com1),
// whether or not it exists; empty for a name that could reach outside the
// folder. The device simulator places its link here.
std::string portEntryPath(const char *portName);

} // namespace spp
