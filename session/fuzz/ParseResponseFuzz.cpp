// SPDX-License-Identifier: MIT
// Feeds arbitrary device responses to the session's response parser: it must
// never read outside the bytes it is given, whatever their length and content.

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/UserInteraction.h"
#include "session/SessionEnvelope.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The parser only shows version messages; nobody reads them here.
    q57::SilentInteraction ui;
    const q57::SessionResponse response = q57::parseResponse(data, size, ui);
    // A valid response always names one of the codes the session knows.
    if (response.code != q57::InvalidResponse && (response.code < 11 || response.code > 19))
        __builtin_trap();
    return 0;
}
