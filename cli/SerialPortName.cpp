// SPDX-License-Identifier: MIT
#include "cli/SerialPortName.h"

#include "app/AppSettings.h"

namespace q57::cli {

std::optional<int> serialPortIndex(const std::string &name)
{
    for (size_t i = 0; i < AppSettings::NoSerialPort; ++i) {
        const std::string known = AppSettings::PortNames[i]; // "COM1:"
        if (name == known || name + ":" == known)
            return static_cast<int>(i);
    }
    return std::nullopt;
}

} // namespace q57::cli
