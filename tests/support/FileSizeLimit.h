// SPDX-License-Identifier: MIT
#pragma once
// A full disk for one step of a test: the step runs in a forked child whose
// files may not grow past a limit, so a write past it fails with EFBIG.

#include <sys/resource.h>

#include <functional>
#include <string>
#include <vector>

namespace q57::testing {

struct LimitedRun {
    int exitCode = -1; // 0 when the step succeeded, 1 when not, -1 when the child died
    std::vector<std::string> messages;
};

// Runs `step` in the child under the limit. The step returns whether it
// succeeded and fills in the messages the test is to see.
LimitedRun runWithFileSizeLimit(rlim_t limit, const std::function<bool(std::vector<std::string> &messages)> &step);

} // namespace q57::testing
