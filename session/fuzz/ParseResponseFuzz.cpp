// SPDX-License-Identifier: MIT
// Feeds arbitrary device responses to the session's response parser: it must
// never read outside the bytes it is given, whatever their length and content.

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/UserInteraction.h"
#include "session/SessionEnvelope.h"

namespace {

// Drops everything: the parser only shows version messages through it.
class DiscardingInteraction : public q57::UserInteraction {
public:
    void showMessage(const std::string &) override {}
    bool askOkCancel(const std::string &) override { return false; }
    bool askYesNo(const std::string &, const std::string &) override { return false; }
    void statusNotice(int) override {}
    void progressNotice(int, int) override {}
    void jobEndNotice(bool) override {}
    void quitNotice() override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    DiscardingInteraction ui;
    const q57::SessionResponse response = q57::parseResponse(data, size, ui);
    // A valid response always names one of the codes the session knows.
    if (response.code != q57::InvalidResponse && (response.code < 11 || response.code > 19))
        __builtin_trap();
    return 0;
}
