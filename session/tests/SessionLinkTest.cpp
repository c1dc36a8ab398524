// SPDX-License-Identifier: MIT
// The session on a port where no device can answer: the open failure, its
// message and the log's explanation of a device the user may not open, and
// closing a link that never opened.

#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "SessionWorld.h"
#include "session/PortAccessHint.h"
#include "tests/support/AnotherUser.h"

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
    rig->settings.stored.port = PortChoice::serial(7);

    EXPECT_FALSE(rig->session.connectDevice());
    EXPECT_EQ(rig->ui.messages(), std::vector<std::string>{"Serial Port Error: Unable to open port."});
    EXPECT_EQ(rig->ui.statusNotices(), std::vector<int>{StatusConnecting});
    rig->session.closeDeviceLink(); // nothing is open: must do nothing
    EXPECT_FALSE(rig->session.alternateHandshake());
    EXPECT_EQ(rig->logText().find("may not open"), std::string::npos) << "a missing device is no permission problem";
}

TEST_F(SessionLink, OnlyADeviceThatIsThereButForbiddenGetsAHint)
{
    const std::filesystem::path ports = root / "config/Zantherix/ports";
    std::filesystem::create_directories(ports);
    std::ofstream(root / "usable-tty") << "tty";
    std::filesystem::create_symlink(root / "usable-tty", ports / "com2");
    std::filesystem::create_symlink(root / "no-such-tty", ports / "com7");
    std::filesystem::create_symlink(root / "usable-tty", ports / "none");
    // Root may open everything: none of these is a permission problem.
    for (const PortChoice &port : {PortChoice::serial(2), PortChoice::serial(7), PortChoice::none(),
                                   PortChoice::udp("127.0.0.2"), PortChoice::fromStored(200), PortChoice::udp("")})
        EXPECT_EQ(portAccessHint(port), "") << port.linkPortName();
}

// A pseudo-terminal made as private as a serial device of a group the user is not in.
struct PrivateTerminal {
    PrivateTerminal()
    {
        char name[256] = {};
        if (openpty(&controller, &device, name, nullptr, nullptr) == 0 && fchmod(device, 0600) == 0)
            path = name;
    }
    ~PrivateTerminal()
    {
        close(device);
        close(controller);
    }
    int controller = -1;
    int device = -1;
    std::string path; // empty when it could not be made
};

TEST_F(SessionLink, ADeviceTheUserMayNotOpenIsExplainedInTheLogBeforeTheMessage)
{
    const std::filesystem::path ports = root / "config/Zantherix/ports";
    std::filesystem::create_directories(ports);
    ASSERT_TRUE(handToAnotherUser(root)); // the world is the other user's, the terminal stays root's
    const PrivateTerminal terminal;
    ASSERT_FALSE(terminal.path.empty()) << "no pseudo-terminal";
    std::filesystem::create_symlink(terminal.path, ports / "com1");

    const auto report = runAsAnotherUser([&] {
        SessionRig child(root);
        child.settings.stored.port = PortChoice::serial(1);
        std::string logAtMessage;
        child.ui.setHook([&](const ScriptedInteraction::Event &event) {
            if (event.kind == ScriptedInteraction::Kind::Message)
                logAtMessage = child.logText();
        });
        const bool connected = child.session.connectDevice();
        std::string seen = connected ? "connected\n" : "";
        for (const std::string &message : child.ui.messages())
            seen += "message: " + message + "\n";
        return seen + "log when the message appeared:\n" + logAtMessage;
    });
    ASSERT_TRUE(report.has_value()) << "the child could not become another user";
    EXPECT_EQ(*report, "message: Serial Port Error: Unable to open port.\n"
                       "log when the message appeared:\n"
                       "Serial port COM1 is " +
                           terminal.path +
                           ", which this user may not open: join the dialout group (sudo adduser $USER dialout) "
                           "and log in again.\r\n");
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
