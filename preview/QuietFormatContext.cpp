// SPDX-License-Identifier: MIT
#include "preview/QuietFormatContext.h"

namespace q57::preview {

QuietFormatContext::QuietFormatContext(std::function<void(const std::string &)> echo)
    : context_(log_, ui_, addressBook_, quicktext_)
{
    // The log hands its lines to the echo only while it is open; the lines
    // themselves are of no use on disk.
    if (echo && log_.openAt("/dev/null"))
        log_.setEcho(std::move(echo));
}

} // namespace q57::preview
