// The session on a port where no device can answer: the open failure and its
// message, and closing a link that never opened.

#include <filesystem>

#include "SessionWorld.h"

namespace q57::testing {
namespace {

using SessionLink = SessionWorld;

TEST_F(SessionLink, PortThatCannotBeOpenedIsReportedAfterFiveTries)
{
    // COM7 names a port link that leads nowhere.
    const std::filesystem::path ports = root / "config/Zantherix/ports";
    std::filesystem::create_directories(ports);
    std::filesystem::create_symlink(root / "no-such-tty", ports / "com7");
    rig = std::make_unique<SessionRig>(root);
    rig->settings.port = 6;

    EXPECT_FALSE(rig->session.connectDevice());
    EXPECT_EQ(rig->ui.messages(), std::vector<std::string>{"Serial Port Error: Unable to open port."});
    EXPECT_EQ(rig->ui.statusNotices(), std::vector<int>{StatusConnecting});
    rig->session.closeDeviceLink(); // nothing is open: must do nothing
    EXPECT_FALSE(rig->session.alternateHandshake());
}

TEST_F(SessionLink, ClosingALinkThatNeverOpenedDoesNothing)
{
    rig = std::make_unique<SessionRig>(root);
    rig->session.closeDeviceLink();
    rig->session.closeDeviceLink();
    EXPECT_TRUE(rig->ui.events().empty());
}

} // namespace
} // namespace q57::testing
