// SPDX-License-Identifier: MIT
#pragma once
// The device's address for "--udp": the link takes only a dotted IPv4 address
// (anything else would aim at 255.255.255.255), so a host name is looked up
// here, before the link sees it.

#include <optional>
#include <string>

namespace q57::cli {

// The first IPv4 address of `host` as "a.b.c.d" (a dotted address gives
// itself); nothing when it has none.
std::optional<std::string> ipv4AddressOf(const std::string &host);

} // namespace q57::cli
