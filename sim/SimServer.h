// SPDX-License-Identifier: MIT
// The whole simulated device behind one transport, served by a single
// poll() loop: the line pacer, the frame link, the session and the store.
#pragma once

#include <memory>
#include <string>

#include "sim/DeviceLink.h"
#include "sim/FrameTrace.h"
#include "sim/ItemStore.h"
#include "sim/LinePacer.h"
#include "sim/SessionHandler.h"
#include "sim/SimOptions.h"
#include "sim/SimTransport.h"

namespace q57::sim {

class SimServer {
public:
    explicit SimServer(SimOptions options);
    ~SimServer();
    SimServer(const SimServer &) = delete;
    SimServer &operator=(const SimServer &) = delete;

    // Opens the transport, the store and the trace. False with a reason.
    bool start(std::string &error);
    // Where the host finds the device (the pseudo-terminal's path, or address:port).
    std::string where() const;
    // Serves until stop(); false when the transport failed.
    bool run();
    // Ends run() from any thread or from a signal handler.
    void stop();

private:
    void serveDue();

    SimOptions options_;
    int stopPipe_[2] = {-1, -1};
    std::unique_ptr<SimTransport> transport_;
    std::unique_ptr<ItemStore> store_;
    FrameTrace trace_;
    std::unique_ptr<LinePacer> pacer_;
    std::unique_ptr<DeviceLink> link_;
    std::unique_ptr<SessionHandler> session_;
};

} // namespace q57::sim
