// SPDX-License-Identifier: MIT
// q57sim: plays the Q57 device on a pseudo-terminal or a UDP address.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "q57/ProjectVersion.h"
#include "sim/SimServer.h"

namespace {

q57::sim::SimServer *servingNow = nullptr;

extern "C" void stopServing(int)
{
    if (servingNow != nullptr)
        servingNow->stop(); // one write() to a pipe: safe in a signal handler
}

void installSignalHandlers()
{
    struct sigaction action {};
    action.sa_handler = stopServing;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

} // namespace

int main(int argc, char **argv)
{
    using namespace q57::sim;
    SimOptions options;
    std::string error;
    if (!parseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "q57sim: %s\nTry q57sim --help.\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(usageText(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("q57sim %s\n", q57::ProjectVersion);
        return 0;
    }
    SimServer server(options);
    if (!server.start(error)) {
        std::fprintf(stderr, "q57sim: %s\n", error.c_str());
        return 1;
    }
    servingNow = &server;
    installSignalHandlers();
    std::printf("%s\nready\n", server.where().c_str());
    std::fflush(stdout);
    const bool served = server.run();
    servingNow = nullptr;
    if (!served)
        std::fprintf(stderr, "q57sim: the transport failed\n");
    return served ? 0 : 1;
}
