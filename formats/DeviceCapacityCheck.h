// SPDX-License-Identifier: MIT
#pragma once
// The address book check made during the device write, once the device has
// reported how many contacts it holds and which address selections it offers.

#include <cstdint>

namespace q57 {

struct FormatContext;

// Stores `capacity` in the Address Book item (it then also limits later reading
// passes), and tests the last reading pass against it and against the supported
// selections (the second byte of the item's itemFlags). False stops the restore
// of the address book; the findings have been logged and the summary shown,
// except for a capacity of 0, which stops it silently.
bool checkDeviceCapacity(FormatContext &context, uint16_t capacity);

} // namespace q57
