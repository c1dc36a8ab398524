#include "link/tests/LinkFixture.h"

#include <cstdlib>
#include <filesystem>

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
    char folder[] = "/tmp/spp-link-test-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    configHome = folder;
    setenv("XDG_CONFIG_HOME", folder, 1);
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

}  // namespace spp::test
