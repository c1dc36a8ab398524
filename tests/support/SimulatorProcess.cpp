// SPDX-License-Identifier: MIT
#include "tests/support/SimulatorProcess.h"

#include "tests/support/ChildProgram.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace q57::testing {

namespace {

constexpr int kStartTimeoutMs = 10000;

} // namespace

SimulatorProcess::~SimulatorProcess()
{
    stop();
}

bool SimulatorProcess::start(const std::vector<std::string> &options)
{
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        error_ = "pipe failed";
        return false;
    }
    std::vector<std::string> words{Q57SIM_PATH};
    words.insert(words.end(), options.begin(), options.end());
    pid_ = startChildProgram(words, {.out = pipeEnds[1]});
    close(pipeEnds[1]);
    output_ = pipeEnds[0];
    if (pid_ < 0) {
        error_ = "fork failed";
        return false;
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    std::string line;
    while (std::chrono::steady_clock::now() < deadline) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (!readLine(line, static_cast<int>(left.count())))
            break;
        if (line.find("ready") != std::string::npos)
            return true;
        startLines_.push_back(line);
    }
    error_ = "the simulator did not report ready";
    return false;
}

bool SimulatorProcess::readLine(std::string &line, int timeoutMs)
{
    for (;;) {
        const size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return true;
        }
        pollfd ready{output_, POLLIN, 0};
        if (poll(&ready, 1, timeoutMs) <= 0)
            return false;
        char bytes[256];
        const ssize_t count = read(output_, bytes, sizeof bytes);
        if (count <= 0)
            return false;
        pending_.append(bytes, static_cast<size_t>(count));
    }
}

bool SimulatorProcess::stop()
{
    if (pid_ <= 0)
        return false;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    if (output_ >= 0)
        close(output_);
    output_ = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace q57::testing
