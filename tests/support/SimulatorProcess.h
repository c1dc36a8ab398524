// SPDX-License-Identifier: MIT
#pragma once
// Runs the device simulator as a child process for one test: starts it with the
// given options, waits until it serves, and stops it again. The child inherits
// the test's environment (its XDG_CONFIG_HOME decides where the port link goes).

#include <sys/types.h>

#include <string>
#include <vector>

namespace q57::testing {

class SimulatorProcess {
public:
    SimulatorProcess() = default;
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess &) = delete;
    SimulatorProcess &operator=(const SimulatorProcess &) = delete;

    // Starts the simulator and reads its standard output up to the line that
    // says it serves. False (with the reason in error()) when it does not come.
    bool start(const std::vector<std::string> &options);
    // Stops it (SIGTERM) and waits for it; true when it ended with status 0.
    bool stop();

    // The lines the simulator printed before it served (the pty's path first).
    const std::vector<std::string> &startLines() const { return startLines_; }
    const std::string &error() const { return error_; }

private:
    bool readLine(std::string &line, int timeoutMs);

    pid_t pid_ = -1;
    int output_ = -1;
    std::string pending_;
    std::vector<std::string> startLines_;
    std::string error_;
};

} // namespace q57::testing
