// SPDX-License-Identifier: MIT
// The look-up behind "--udp": what the link gets for an address or a host name.

#include "cli/HostAddress.h"

#include <gtest/gtest.h>

namespace q57::cli {
namespace {

TEST(HostAddress, AddressesAndHostNamesBecomeDottedIPv4)
{
    const struct {
        const char *host;
        std::optional<std::string> address;
    } cases[] = {
        {"127.0.0.2", "127.0.0.2"}, {"localhost", "127.0.0.1"},
        {"", std::nullopt},         {"no-such-host.invalid", std::nullopt},
        {"NONE", std::nullopt}, // what the link would have aimed at 255.255.255.255
    };
    for (const auto &c : cases)
        EXPECT_EQ(ipv4AddressOf(c.host), c.address) << c.host;
}

} // namespace
} // namespace q57::cli
