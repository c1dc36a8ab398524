// SPDX-License-Identifier: MIT
// How the device files what a restore sends it, so that a later read gives
// back exactly what an earlier read gave.
#pragma once

#include <cstdint>

#include "sim/ItemStore.h"

namespace q57::sim {

// The host's address book comes with two empty lines first and a group
// membership field after Usage in every contact line; the device keeps
// neither (it sends contact lines without that field).
Bytes storedAddressBook(const Bytes &received);

// Memos (2 TAB-ended fields each) and quicktexts (1 field each) arrive last
// first; the device files each entry in front of the ones before it.
Bytes storedTextEntries(const Bytes &received, int fieldsPerEntry);

// Read start total of the address book: its lines.
uint32_t lineCount(const Bytes &data);

} // namespace q57::sim
