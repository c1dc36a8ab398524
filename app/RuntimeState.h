// SPDX-License-Identifier: MIT
#pragma once
// What the program keeps only while it runs: the flags a job shares with the
// front end, and the status log of the current or last job.

#include "app/JobFlags.h"
#include "app/StatusLog.h"

namespace q57 {

struct RuntimeState {
    JobFlags jobFlags;
    StatusLog statusLog;
};

} // namespace q57
