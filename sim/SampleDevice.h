// SPDX-License-Identifier: MIT
// The built-in sample device, used when no --data folder is given.
//   small: a few groups and contacts that use every field (commas, equals
//          signs and double quotes in fields, timestamps), memos with line
//          breaks, quicktexts, preferences and folders blocks of a few KB.
//   large: 15 groups and 384 contacts (record numbers 0-14 and 16-399),
//          199 memos of 2,000 characters, 19 quicktexts, 4 KB blocks.
// Every address book passes the host's record checks, so a backup of it
// restores again unchanged.
#pragma once

#include "sim/ItemStore.h"
#include "sim/SimOptions.h"

namespace q57::sim {

DeviceContents sampleContents(SampleSize size);

} // namespace q57::sim
