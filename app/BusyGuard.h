// SPDX-License-Identifier: MIT
#pragma once
// The guard of every command that touches items, files or settings: while a job
// runs, such a command shows "<job> in progress" and does nothing more.

namespace q57 {

struct JobFlags;
class UserInteraction;

// True when a job is running (the message has been shown): the caller stops.
bool refuseWhileBusy(const JobFlags &flags, UserInteraction &ui);

} // namespace q57
