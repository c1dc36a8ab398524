// SPDX-License-Identifier: MIT
// The real q57sim executable: start-up lines, the port link, a read through
// it, clean exit on SIGTERM, and its answers to bad options.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "link/src/PortNames.h"
#include "sim/SimTransport.h"
#include "sim/read/ReadClient.h"
#include "sim/tests/SimFixture.h"
#include "tests/support/ChildProgram.h"

namespace q57::sim::testing {
namespace {

struct Child {
    pid_t pid = -1;
    int output = -1;
};

Child spawn(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), Q57SIM_PATH);
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return {};
    Child child;
    child.pid = q57::testing::startChildProgram(arguments, {.out = pipeEnds[1], .err = pipeEnds[1]});
    close(pipeEnds[1]);
    child.output = pipeEnds[0];
    return child;
}

// Reads output until it holds count lines or the child goes quiet for 5 s.
std::vector<std::string> readLines(int fd, size_t count)
{
    std::string text;
    std::vector<std::string> lines;
    while (lines.size() < count) {
        pollfd ready{fd, POLLIN, 0};
        char buffer[512];
        if (poll(&ready, 1, 5000) <= 0)
            break;
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        text.append(buffer, static_cast<size_t>(n));
        size_t end;
        while ((end = text.find('\n')) != std::string::npos) {
            lines.push_back(text.substr(0, end));
            text.erase(0, end + 1);
        }
    }
    return lines;
}

int waitExit(const Child &child)
{
    int status = 0;
    waitpid(child.pid, &status, 0);
    close(child.output);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SimExecutable, ServesAPseudoTerminalUnderItsPortNameAndExitsCleanly)
{
    useOwnConfigFolder();
    Child sim = spawn({"--pty", "--as", "COM5:"});
    ASSERT_GT(sim.pid, 0);
    const std::vector<std::string> lines = readLines(sim.output, 2);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("/dev/pts/", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1], "ready");
    const std::string link = spp::portEntryPath("COM5");
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), lines[0]);

    ReadClient client;
    Bytes data;
    EXPECT_TRUE(client.connect("COM5") && client.readItem(6, 0x8000, "hello.txt", data)) << client.error();
    EXPECT_EQ(data, bytesOf("Hello from the Q57.\n"));
    client.close();

    kill(sim.pid, SIGTERM);
    EXPECT_EQ(waitExit(sim), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(SimExecutable, RejectsBadOptionsWithStatusTwo)
{
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--pty", "--bogus"},
        {"--pty", "--level"},
        {"--pty", "--level", "x"},
        {"--pty", "--baud", "-5"},
        {"--udp", "127.0.0.2", "--as", "COM1"},
        {"--udp", "127.0.0.2", "--protocol", "v3"},
        {"--pty", "--protocol", "v5"},
        {"--pty", "--sample", "huge"},
        {"--pty", "--capacity", "385"},
        {"--pty", "--refuse-write=1"},
    };
    for (const auto &arguments : bad) {
        Child sim = spawn(arguments);
        const std::vector<std::string> lines = readLines(sim.output, 1);
        EXPECT_EQ(waitExit(sim), 2) << (arguments.empty() ? "(none)" : arguments.back());
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0].rfind("q57sim: ", 0), 0u) << lines[0];
    }
    Child help = spawn({"--help"});
    const std::vector<std::string> lines = readLines(help.output, 200);
    EXPECT_EQ(waitExit(help), 0);
    std::string text;
    for (const std::string &line : lines)
        text += line + "\n";
    for (const char *flag : {"--pty",
                             "--as",
                             "--udp",
                             "--protocol",
                             "--level",
                             "--mode",
                             "--capacity",
                             "--supported-selections",
                             "--quicktext-capacity",
                             "--memory",
                             "--data",
                             "--sample",
                             "--baud",
                             "--trace",
                             "--drop-ack-every",
                             "--garbage-between-frames",
                             "--corrupt-every",
                             "--silent-after",
                             "--refuse-write",
                             "--out-of-memory-after",
                             "--wrong-read-check",
                             "--short-write-offset",
                             "--no-final-answer"})
        EXPECT_NE(text.find(flag), std::string::npos) << flag;
}

} // namespace
} // namespace q57::sim::testing
