// SPDX-License-Identifier: MIT
#pragma once
// A format context for running the address book handlers and rules outside a
// job: no window to ask, no device capacity, and a status log whose lines only
// reach the echo that the owner sets (the file behind it is /dev/null).

#include "app/DataItem.h"
#include "app/StatusLog.h"
#include "app/UserInteraction.h"
#include "formats/FormatContext.h"

#include <functional>
#include <string>

namespace q57::preview {

class QuietFormatContext {
public:
    // Each line the handlers log, with its LF, reaches `echo` (when given).
    explicit QuietFormatContext(std::function<void(const std::string &)> echo = {});

    FormatContext &context() { return context_; }

private:
    StatusLog log_;
    SilentInteraction ui_;
    DataItem addressBook_;
    DataItem quicktext_;
    FormatContext context_;
};

} // namespace q57::preview
