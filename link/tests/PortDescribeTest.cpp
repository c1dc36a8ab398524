// SPDX-License-Identifier: MIT
// sppDescribePort: where a port name leads, whether the device is there, and
// whether the calling user may open it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "link/include/spp.h"
#include "PortsFolderFixture.h"
#include "tests/support/AnotherUser.h"

namespace {

namespace fs = std::filesystem;
using PortDescription = spp::testing::PortsFolder;

// A regular file standing in for a device, owned by the test's user (root).
void plantDevice(const fs::path &path, fs::perms mode)
{
    std::ofstream(path) << "tty";
    ASSERT_TRUE(fs::exists(path)) << path;
    fs::permissions(path, mode);
}

bool isAllZero(const SppPortInfo &info)
{
    const SppPortInfo zero{};
    return std::memcmp(&info, &zero, sizeof info) == 0;
}

TEST_F(PortDescription, TellsWhereEachPortLeads)
{
    plantDevice(home + "/device", fs::perms::owner_read | fs::perms::owner_write);
    const std::string device = fs::canonical(home + "/device").string();
    fs::create_symlink(home + "/device", ports + "com1");
    fs::create_symlink("../../device", ports + "com5"); // relative to the ports folder
    fs::create_symlink("/nonexistent/ttyUSB7", ports + "com2");
    std::string longTarget = "/x";
    for (int i = 0; i < 150; ++i)
        longTarget += "\xC3\xA9"; // 302 bytes; a cut at 255 would split a character
    fs::create_symlink(longTarget, ports + "com6");
    fs::create_symlink(home + "/device", ports + "comx");
    fs::create_symlink(home + "/device", ports + "com1234567890123456");
    const bool ttyS2 = fs::exists("/dev/ttyS2");
    const bool ttyS98 = fs::exists("/dev/ttyS98");

    struct Case {
        const char *name;
        std::string path;
        bool fromFolder, present, permitted, truncated;
    };
    const Case cases[] = {
        {"COM1:", device, true, true, true, false},
        {"com5", device, true, true, true, false},
        {"COMX", device, true, true, true, false}, // any name with an entry
        {"COM2:", "/nonexistent/ttyUSB7", true, false, false, false},
        {"COM6", longTarget.substr(0, 254), true, false, false, true},
        {"COM3:", "/dev/ttyS2", false, ttyS2, ttyS2, false},
        {"COM99", "/dev/ttyS98", false, ttyS98, ttyS98, false},
        // sppInit keeps 19 characters of a port name, so sppOpen opens this entry.
        {"COM1234567890123456789", device, true, true, true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SppPortInfo info;
        std::memset(&info, 0x5A, sizeof info);
        ASSERT_EQ(sppDescribePort(c.name, &info), 1);
        EXPECT_EQ(info.devicePath, c.path);
        EXPECT_EQ(info.fromPortsFolder, c.fromFolder);
        EXPECT_EQ(info.present, c.present);
        EXPECT_EQ(info.permitted, c.permitted);
        EXPECT_EQ(info.truncated, c.truncated);
    }
}

TEST_F(PortDescription, RefusesWhatIsNoSerialPort)
{
    fs::create_symlink("/dev/null", ports + "none"); // "NONE" stays the UDP transport
    for (const char *name : {"COM0:", "COM", "COMX", "COM1/../../x", "../x", "NONE", "127.0.0.2", ""}) {
        SppPortInfo info;
        std::memset(&info, 0x5A, sizeof info);
        EXPECT_EQ(sppDescribePort(name, &info), 0) << name;
        EXPECT_TRUE(isAllZero(info)) << name;
    }
    SppPortInfo info;
    std::memset(&info, 0x5A, sizeof info);
    EXPECT_EQ(sppDescribePort(nullptr, &info), 0);
    EXPECT_TRUE(isAllZero(info));
    EXPECT_EQ(sppDescribePort("COM1:", nullptr), 0);
}

TEST_F(PortDescription, PermissionIsJudgedAsTheCallingUser)
{
    ASSERT_TRUE(q57::testing::handToAnotherUser(home)); // the devices stay root's
    struct Device {
        const char *entry;
        fs::perms mode;
    };
    const Device devices[] = {
        {"com1", fs::perms::owner_read | fs::perms::owner_write},
        {"com2", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read},
        {"com3", fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read | fs::perms::others_write},
    };
    for (const Device &d : devices) {
        plantDevice(home + "/" + d.entry + "-device", d.mode);
        fs::create_symlink(home + "/" + d.entry + "-device", ports + d.entry);
    }

    const auto report = q57::testing::runAsAnotherUser([&] {
        if (access(ports.c_str(), X_OK) != 0)
            return std::string("the ports folder is out of reach of another user");
        std::string seen;
        for (const char *name : {"COM1:", "COM2:", "COM3:"}) {
            SppPortInfo info{};
            const uint16_t result = sppDescribePort(name, &info);
            seen += std::string(name) + " result=" + std::to_string(result) +
                    " present=" + std::to_string(info.present) + " permitted=" + std::to_string(info.permitted) + "\n";
        }
        return seen;
    });
    ASSERT_TRUE(report.has_value()) << "the child could not become another user";
    EXPECT_EQ(*report, "COM1: result=1 present=1 permitted=0\n"   // mode 0600
                       "COM2: result=1 present=1 permitted=0\n"   // 0644: reading alone is not enough
                       "COM3: result=1 present=1 permitted=1\n"); // 0606
}

} // namespace
