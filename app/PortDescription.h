// SPDX-License-Identifier: MIT
#pragma once
// What a front end tells about each serial port choice, such as the tooltip of
// every item of the window's Options > Serial Port menu: the device the port
// opens on this machine, and what stands in its way.

#include "app/PortChoice.h"

#include <string>

struct SppPortInfo;

namespace q57 {

// "<label> → <device>" followed by what is worth knowing, in parentheses:
//   COM1 → /dev/ttyUSB0 (ports folder)
//   COM2 → /dev/ttyS1 (not present)
//   COM3 → /dev/ttyS2 (no permission: join the dialout group)
//   COM4 → /dev/ttyS3
// A device from the ports folder with a problem gets both, e.g. "(ports
// folder, not present)"; a device path cut short ends in "…". Control
// characters in the path (it comes from the user's files) are escaped.
std::string portChoiceText(const std::string &label, const SppPortInfo &info);

// portChoiceText for a serial port choice as the link library finds it now;
// empty for a choice that is no serial port (UDP, "NONE").
std::string describePortChoice(const PortChoice &choice);

} // namespace q57
