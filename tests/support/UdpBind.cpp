// SPDX-License-Identifier: MIT
#include "tests/support/UdpBind.h"

#include "tests/support/AnotherUser.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <optional>
#include <string>

namespace q57::testing {

bool canBindUdp(const char *address, unsigned short port, int option)
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const int on = 1;
    if (option != 0)
        setsockopt(fd, SOL_SOCKET, option, &on, sizeof on);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = inet_addr(address);
    const bool bound = bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) == 0;
    close(fd);
    return bound;
}

int udpBindsAsAnotherUser(const std::vector<UdpBindAttempt> &attempts, unsigned short port)
{
    const std::optional<std::string> report = runAsAnotherUser([&] {
        int bound = 0;
        for (const UdpBindAttempt &attempt : attempts)
            bound += canBindUdp(attempt.address, port, attempt.option) ? 1 : 0;
        return std::to_string(bound);
    });
    return report ? std::stoi(*report) : -1;
}

} // namespace q57::testing
