// SPDX-License-Identifier: MIT
// The text shown for each serial port choice: the device, where it came from
// and what stands in its way.
#include "TempDir.h"

#include "app/PortDescription.h"
#include "link/include/spp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

namespace q57 {
namespace {

namespace fs = std::filesystem;

enum Flags : unsigned { FromFolder = 1, Present = 2, Permitted = 4, Truncated = 8 };

SppPortInfo portInfo(const char *path, unsigned flags)
{
    SppPortInfo info{};
    std::strncpy(info.devicePath, path, sizeof info.devicePath - 1);
    info.fromPortsFolder = (flags & FromFolder) != 0;
    info.present = (flags & Present) != 0;
    info.permitted = (flags & Permitted) != 0;
    info.truncated = (flags & Truncated) != 0;
    return info;
}

TEST(PortChoiceText, SaysWhereThePortLeadsAndWhatIsWrong)
{
    struct Case {
        const char *label;
        const char *path;
        unsigned flags;
        const char *text;
    };
    const Case cases[] = {
        {"COM1", "/dev/ttyUSB0", FromFolder | Present | Permitted, "COM1 → /dev/ttyUSB0 (ports folder)"},
        {"COM2", "/dev/ttyS1", 0, "COM2 → /dev/ttyS1 (not present)"},
        {"COM3", "/dev/ttyS2", Present, "COM3 → /dev/ttyS2 (no permission: join the dialout group)"},
        {"COM4", "/dev/ttyS3", Present | Permitted, "COM4 → /dev/ttyS3"},
        {"COM5", "/gone/ttyUSB1", FromFolder, "COM5 → /gone/ttyUSB1 (ports folder, not present)"},
        {"COM6", "/dev/ttyACM0", FromFolder | Present,
         "COM6 → /dev/ttyACM0 (ports folder, no permission: join the dialout group)"},
        // A link's text is the user's: an escape sequence in it must not reach a terminal.
        {"COM7", "/tmp/\x1b[2J\x7f", FromFolder, "COM7 → /tmp/\\x1B[2J\\x7F (ports folder, not present)"},
        {"COM8", "/dev/by-id/usb-Maker", FromFolder | Truncated,
         "COM8 → /dev/by-id/usb-Maker… (ports folder, not present)"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(portChoiceText(c.label, portInfo(c.path, c.flags)), c.text) << c.label;
}

class DescribePortChoice : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char *given = std::getenv("XDG_CONFIG_HOME");
        savedConfig = given ? std::optional<std::string>(given) : std::nullopt;
        setenv("XDG_CONFIG_HOME", scratch.dir().c_str(), 1);
        fs::create_directories(scratch.dir("Zantherix/ports"));
    }
    void TearDown() override
    {
        if (savedConfig)
            setenv("XDG_CONFIG_HOME", savedConfig->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }
    testing::TempDir scratch;
    std::optional<std::string> savedConfig;
};

TEST_F(DescribePortChoice, DescribesEachMenuItemAsTheLinkLibrarySeesIt)
{
    const std::string device = scratch.plantFile("ttyUSB0");
    fs::create_symlink(device, scratch.file("Zantherix/ports/com1"));
    EXPECT_EQ(describePortChoice(PortChoice::serial(1)),
              "COM1 → " + fs::canonical(device).string() + " (ports folder)");
    // Without an entry, the eighth port is the built-in /dev/ttyS7, whatever its state here.
    const std::string eighth = describePortChoice(PortChoice::serial(8));
    EXPECT_EQ(eighth.rfind("COM8 → /dev/ttyS7", 0), 0u) << eighth;
}

TEST_F(DescribePortChoice, NothingForAChoiceThatIsNoSerialPort)
{
    for (const PortChoice &choice : {PortChoice::none(), PortChoice::fromStored(9), PortChoice::udp("127.0.0.2")})
        EXPECT_EQ(describePortChoice(choice), "") << choice.linkPortName();
}

} // namespace
} // namespace q57
