// SPDX-License-Identifier: MIT
// Connecting to devices in every state the handshake meets: ready, in another
// mode, at level 3, speaking only the older link protocol, and at the levels
// this program cannot serve.

#include "SessionWorld.h"

namespace q57::testing {
namespace {

using Handshake = SessionWorld;

const std::string kModeQuery = "DE AD BE EF 02 08";
const std::string kAlternateModeQuery = "DE AD BE EF 03 08";
const std::string kUpgradeDevice =
    "This version of Q57 Backup (1.02) is incompatible with your device. The device must be upgraded.";
const std::string kUpgradeProgram = "This version of Q57 Backup (1.02) is incompatible with your device. "
                                    "Please upgrade your Q57 Backup software.";

TEST_F(Handshake, ConnectsOrExplainsWhyNot)
{
    struct Case {
        const char *name;
        std::vector<std::string> options;
        bool connected;
        std::vector<std::string> requests;
        std::vector<std::string> messages;
        bool levelTwo;
    };
    const std::vector<Case> cases = {
        {"ready at level 2", {}, true, {kModeQuery}, {}, true},
        {"ready at level 3", {"--level", "3"}, true, {kModeQuery}, {}, false},
        {"older link protocol", {"--protocol", "v3"}, true, {kModeQuery}, {}, true},
        {"in mode 2: switched to 4", {"--mode", "2"}, true, {kModeQuery, "DE AD BE EF 02 01 04"}, {}, true},
        {"level 1",
         {"--level", "1"},
         false,
         {kModeQuery, kAlternateModeQuery},
         {kUpgradeDevice, kUpgradeDevice},
         false},
        {"level 4",
         {"--level", "4"},
         false,
         {kModeQuery, kAlternateModeQuery},
         {kUpgradeProgram, kUpgradeProgram},
         false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        startOnPty(c.options);
        DeviceSession &session = rig->session;
        rig->formats.deviceLevelTwo = !c.levelTwo;

        EXPECT_EQ(session.connectDevice(), c.connected);
        EXPECT_EQ(rig->ui.messages(), c.messages);
        EXPECT_EQ(rig->ui.statusNotices(), std::vector<int>{StatusConnecting});
        EXPECT_EQ(session.deviceLevelTwo(), c.levelTwo);
        EXPECT_FALSE(session.alternateHandshake());
        if (c.connected) { // the device now answers in mode 4 without another switch
            EXPECT_TRUE(session.handshakeDevice());
        }
        session.closeDeviceLink();

        std::vector<Bytes> expected;
        for (const std::string &request : c.requests)
            expected.push_back(hexBytes(request));
        if (c.connected)
            expected.push_back(hexBytes(kModeQuery));
        EXPECT_EQ(hostRequests(), expected);
        stopSimulator();
    }
}

} // namespace
} // namespace q57::testing
