// SPDX-License-Identifier: MIT
#pragma once
// The status log line that explains a failed open of a serial port the user may
// not open. Linux gives serial devices to the "dialout" group, which a new user
// is not in: the open fails before the device is ever asked anything, and the
// message box alone cannot say why.

#include "app/PortChoice.h"

#include <string>

namespace q57 {

// "Serial port COM1 is /dev/ttyS0, which this user may not open: join the
// dialout group (sudo adduser $USER dialout) and log in again.\n" when port
// is a serial port whose device exists and this process may not open it for
// reading and writing; empty otherwise (UDP, "NONE", a device that is not
// there, one that may be opened).
std::string portAccessHint(const PortChoice &port);

} // namespace q57
