// SPDX-License-Identifier: MIT
#pragma once
// The validation phase of a restore: each selected device item's file is
// checked and converted into the data the device takes, through the item's
// restore handlers and the pass machinery, without touching the device or the
// user's files. Afterwards each validated item's stream is open on the data to
// send, with its size measured.

#include "app/ItemCatalogue.h"

namespace q57 {

struct FormatContext;
struct JobFlags;

// Puts the restore handlers of a device item in its slots (the other slots keep
// what they hold).
void installRestoreHandlers(ItemId id, DataItem &item);

// Checks one item's file and leaves its stream open on the data to send. True
// for an unselected item and for an empty file; false after the reason has been
// shown or logged. The file is read once, through BoundedFile with the item's
// limit (jobs/ItemFileLimits.h): a FIFO, a device or a file over the limit is
// refused at once with "Unable to restore. " and BoundedFile's reason.
bool validateItem(ItemId id, DataItem &item, FormatContext &context, const JobFlags &flags);

// Installs the item's handlers, validates it, then takes the check value off
// the Preferences and Folders size and sets the Memos record count.
bool validateForRestore(ItemId id, DataItem &item, FormatContext &context, const JobFlags &flags);

// Preferences, Address Book, Folders, Memos and Quicktext in that order; stops at
// the first item that fails.
bool validateRestoreItems(ItemCatalogue &catalogue, FormatContext &context, const JobFlags &flags);

// How much of an item's staging a restore's release deletes (DataItem::releaseItem).
int restoreReleaseMode(ItemId id);

} // namespace q57
