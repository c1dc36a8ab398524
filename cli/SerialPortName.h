// SPDX-License-Identifier: MIT
#pragma once
// The serial port for "--port": COM1 to COM8, as the manual page names them,
// with or without the colon the settings keep.

#include <optional>
#include <string>

namespace q57::cli {

// The port's index into AppSettings::PortNames; nothing for any other name,
// "NONE" included (it is not a serial port).
std::optional<int> serialPortIndex(const std::string &name);

} // namespace q57::cli
