// SPDX-License-Identifier: MIT
#pragma once
// "Clear Address Book": after the user's Yes, empties the device's address
// book. No file on the computer is read or written.

#include "jobs/JobContext.h"

#include <functional>

namespace q57 {

class ClearAddressBookJob {
public:
    // `declined` runs on the job's thread when the user answers anything but
    // Yes: the front end gives back the controls its preparation took, since no
    // notice follows.
    ClearAddressBookJob(const JobContext &context, std::function<void()> declined)
        : context_(context), declined_(std::move(declined))
    {
    }

    // True when the address book was cleared (false: declined, failed or abandoned).
    bool runClearAddressBookThread();

private:
    JobContext context_;
    std::function<void()> declined_;
};

} // namespace q57
