// SPDX-License-Identifier: MIT
// Setting a handle up, the magic check, and which device a port name opens.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "link/include/spp.h"
#include "link/src/PortNames.h"
#include "PortsFolderFixture.h"

extern "C" int cHeaderInitsAHandle(void);

namespace {

TEST(HandleHeader, CompilesAndWorksFromC)
{
    EXPECT_EQ(cHeaderInitsAHandle(), 1);
}

TEST(SppInit, RefusesARecordSmallerThanTheHandle)
{
    std::vector<uint8_t> record(5000, 0xAB);
    auto *h = reinterpret_cast<SppHandle *>(record.data());
    EXPECT_EQ(sppInit(h, 4235, "COM1:", 2), 0);
    EXPECT_EQ(record, std::vector<uint8_t>(5000, 0xAB)) << "left as it was";
    EXPECT_EQ(sppInit(nullptr, 5000, "COM1:", 2), 0);
    EXPECT_EQ(sppInit(h, 5000, nullptr, 2), 0);

    for (uint16_t size : {4236, 5000}) {
        std::fill(record.begin(), record.end(), 0xAB);
        EXPECT_EQ(sppInit(h, size, "COM1:", 2), 1);
        uint32_t first = 0;
        std::memcpy(&first, record.data(), 4);
        EXPECT_EQ(first, 0xF8EE0711u);
        EXPECT_EQ(record[4236], 0xAB) << "only the handle's own 4236 bytes are written";
    }
}

TEST(SppInit, ChoosesTheTransportFromThePortString)
{
    struct Case {
        const char *port;
        uint16_t speedCode;
        uint32_t transport;
        uint32_t baudRate;
        uint32_t peerAddress;
    };
    const Case cases[] = {
        {"COM1:", 2, SPP_TRANSPORT_SERIAL, 38400, 0},
        {"com3", 0, SPP_TRANSPORT_SERIAL, 9600, 0},
        {"cOm8:", 1, SPP_TRANSPORT_SERIAL, 19200, 0},
        {"COMPLETELY", 7, SPP_TRANSPORT_SERIAL, 38400, 0},
        {"127.0.0.2", 2, SPP_TRANSPORT_UDP, 0, inet_addr("127.0.0.2")},
        {"NONE", 2, SPP_TRANSPORT_UDP, 0, 0xFFFFFFFFu},
        {"CO", 2, SPP_TRANSPORT_UDP, 0, 0xFFFFFFFFu},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.port);
        SppHandle h;
        std::memset(&h, 0x5C, sizeof h);
        ASSERT_EQ(sppInit(&h, sizeof h, c.port, c.speedCode), 1);
        EXPECT_EQ(h.transport, c.transport);
        EXPECT_EQ(h.baudRate, c.baudRate);
        EXPECT_EQ(h.peerAddress, c.peerAddress);
        EXPECT_EQ(h.activeProtocol, SPP_PROTOCOL_V4);
        EXPECT_EQ(h.portFd, -1);
        EXPECT_EQ(h.socket, -1);
        EXPECT_EQ(h.v4State.rxLength, 0);
        EXPECT_EQ(h.v3State.txSequence, 0);
        EXPECT_STREQ(h.portName, c.transport == SPP_TRANSPORT_SERIAL ? c.port : "");
    }
    SppHandle h;
    ASSERT_EQ(sppInit(&h, sizeof h, "COM1:-a-name-much-longer-than-nineteen", 2), 1);
    EXPECT_EQ(std::string(h.portName), "COM1:-a-name-much-l") << "19 characters and the terminator";
}

// Every function that takes a handle, called on h: each must refuse it.
void refusesEveryCall(SppHandle &h)
{
    uint8_t buffer[8] = {};
    uint32_t count32 = 0;
    uint16_t length = 77;
    const std::vector<std::pair<const char *, std::function<uint16_t()>>> calls = {
        {"sppOpen", [&] { return sppOpen(&h); }},
        {"sppClose", [&] { return sppClose(&h); }},
        {"sppFlushRx", [&] { return sppFlushRx(&h); }},
        {"sppCommRead", [&] { return sppCommRead(&h, buffer, 8, &count32); }},
        {"sppCommWrite", [&] { return sppCommWrite(&h, buffer, 8, &count32); }},
        {"sppConnect", [&] { return sppConnect(&h, 1); }},
        {"sppRelease", [&] { return sppRelease(&h); }},
        {"sppReset", [&] { return sppReset(&h); }},
        {"sppConfig", [&] { return sppConfig(&h, 1); }},
        {"sppSend", [&] { return sppSend(&h, 5, buffer, 8, 1); }},
        {"sppReceive", [&] { return sppReceive(&h, 5, 10, buffer, 8, &length); }},
        {"sppWaitResetBoot", [&] { return sppWaitResetBoot(&h, 10); }},
        {"sppWaitResetApp", [&] { return sppWaitResetApp(&h, 10); }},
    };
    for (const auto &[name, call] : calls)
        EXPECT_EQ(call(), 0) << name;
    EXPECT_EQ(length, 77) << "sppReceive leaves the caller's length alone";
}

// A handle that sppInit did not set up, and one whose port sppAbandon took
// (portState 2), which sppInit itself refuses to set up again.
TEST(MagicCheck, EveryFunctionRefusesAHandleThatWasNotSetUpOrWasAbandoned)
{
    for (const bool abandoned : {false, true}) {
        SCOPED_TRACE(abandoned ? "abandoned" : "not set up");
        SppHandle h;
        ASSERT_EQ(sppInit(&h, sizeof h, "COM1:", 2), 1);
        if (abandoned) {
            h.portState = 2;
            EXPECT_EQ(sppInit(&h, sizeof h, "COM2:", 2), 0);
            EXPECT_EQ(std::string(h.portName), "COM1:") << "left as it was";
        } else {
            h.magic = 0xF8EE0712u;
        }
        refusesEveryCall(h);
    }
    EXPECT_EQ(sppClose(nullptr), 0);
}

using PortNames = spp::testing::PortsFolder;

TEST_F(PortNames, ThePortsFolderComesFirst)
{
    std::filesystem::create_symlink("/dev/null", ports + "com1");
    std::filesystem::create_symlink("/nonexistent/ttyUSB7", ports + "com2");
    struct Case {
        const char *name;
        bool resolves;
        std::string device;
    };
    const Case cases[] = {
        {"COM1:", true, ports + "com1"},
        {"com1", true, ports + "com1"},
        {"COM2:", true, ports + "com2"}, // a dangling link is still the user's choice
        {"COM3:", true, "/dev/ttyS2"},
        {"COM12", true, "/dev/ttyS11"},
        {"COM0", false, ""},
        {"COMX", false, ""},
        {"COM", false, ""},
        {"COM1/../../../../etc/passwd", false, ""},
    };
    for (const Case &c : cases) {
        std::string device;
        EXPECT_EQ(spp::resolvePortDevice(c.name, device), c.resolves) << c.name;
        if (c.resolves) {
            EXPECT_EQ(device, c.device) << c.name;
        }
    }
}

TEST_F(PortNames, FolderFollowsXdgConfigHomeThenHome)
{
    EXPECT_EQ(spp::portsFolder(), ports);
    const char *savedHome = std::getenv("HOME");
    const std::string homeBefore = savedHome ? savedHome : "";
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(spp::portsFolder(), "/home/someone/.config/Zantherix/ports/");
    setenv("HOME", homeBefore.c_str(), 1);
}

TEST_F(PortNames, OpenFailsWhenThereIsNoSuchPort)
{
    std::filesystem::create_directory(ports + "com4"); // a folder is no terminal
    for (const char *name : {"COM99:", "COMX", "COM4:"}) {
        SppHandle h;
        ASSERT_EQ(sppInit(&h, sizeof h, name, 2), 1);
        EXPECT_EQ(sppOpen(&h), 0) << name;
        sppClose(&h);
        EXPECT_EQ(h.portFd, -1);
    }
}

} // namespace
