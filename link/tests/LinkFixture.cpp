// SPDX-License-Identifier: MIT
#include "link/tests/LinkFixture.h"

#include <poll.h>
#include <sys/ioctl.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "tests/support/ScratchFolder.h"

namespace spp::test {

bool LinkTest::overUdp()
{
#ifdef SPP_TEST_UDP
    return true;
#else
    return false;
#endif
}

void LinkTest::SetUp()
{
    configHome = q57::testing::makeScratchFolder("spp-link-test").string();
    setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
    peer = overUdp() ? ScriptedPeer::onUdp() : ScriptedPeer::onPseudoTerminal(configHome);
    ASSERT_TRUE(peer->usable());
    ASSERT_EQ(sppInit(&h, sizeof h, overUdp() ? "127.0.0.2" : "COM1:", 2), 1);
    ASSERT_EQ(sppOpen(&h), 1);
}

void LinkTest::TearDown()
{
    if (peer)
        peer->join();
    sppClose(&h);
    peer.reset();
    std::filesystem::remove_all(configHome);
}

void LinkTest::connect()
{
    peer->run([](ScriptedPeer &p) { p.acceptConnect(); });
    ASSERT_EQ(sppConnect(&h, 1), 1);
    peer->join();
}

std::vector<uint8_t> LinkTest::hostFrame(std::vector<uint8_t> bytes) const
{
    const uint16_t crc = overUdp() ? 0 : crc16Arc(bytes.data(), bytes.size());
    bytes.push_back(static_cast<uint8_t>(crc));
    bytes.push_back(static_cast<uint8_t>(crc >> 8));
    return bytes;
}

bool LinkTest::waitForQueuedInput(size_t bytes, int timeoutMs) const
{
    const int fd = overUdp() ? h.socket : h.portFd;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int queued = 0;
        if (ioctl(fd, FIONREAD, &queued) != 0)
            return false;
        // FIONREAD gives a UDP socket's next datagram, a terminal's bytes.
        if (overUdp() ? queued > 0 : static_cast<size_t>(queued) >= bytes)
            return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd port{fd, POLLIN, 0};
        if (queued == 0)
            poll(&port, 1, static_cast<int>(left.count())); // until the first byte
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1)); // the rest is on its way
    }
}

} // namespace spp::test
