// SPDX-License-Identifier: MIT
// A handle opened on the scripted peer: over the pseudo-terminal as "COM1:",
// or over UDP to 127.0.0.2 when the test program is built with SPP_TEST_UDP.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <string>

#include "link/include/spp.h"
#include "link/tests/ScriptedPeer.h"

namespace spp::test {

class LinkTest : public ::testing::Test {
protected:
    static bool overUdp();
    void SetUp() override;
    void TearDown() override;

    // v4 connect against the peer; both sequence numbers restart.
    void connect();

    // The check value bytes the peer expects on host frames: the CRC, or zeros over UDP.
    std::vector<uint8_t> hostFrame(std::vector<uint8_t> bytes) const;

    // Waits until the handle's port holds at least bytes unread bytes (UDP:
    // a datagram is waiting); false when timeoutMs pass first.
    bool waitForQueuedInput(size_t bytes, int timeoutMs = 5000) const;

    SppHandle h{};
    std::unique_ptr<ScriptedPeer> peer;
    std::string configHome;
};

} // namespace spp::test
