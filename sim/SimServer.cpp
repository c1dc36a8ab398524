// SPDX-License-Identifier: MIT
#include "sim/SimServer.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "sim/SampleDevice.h"

namespace q57::sim {

SimServer::SimServer(SimOptions options) : options_(std::move(options)) {}

SimServer::~SimServer()
{
    for (int fd : stopPipe_)
        if (fd >= 0)
            close(fd);
}

bool SimServer::start(std::string &error)
{
    if (pipe2(stopPipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = "cannot create the stop pipe";
        return false;
    }
    if (!options_.dataFolder.empty())
        store_ = makeFolderStore(options_.dataFolder, error);
    else
        store_ = makeMemoryStore(sampleContents(options_.sample));
    if (store_ == nullptr)
        return false;
    if (!options_.traceFile.empty() && !trace_.open(options_.traceFile, nowMicros())) {
        error = "cannot write the trace file " + options_.traceFile;
        return false;
    }
    transport_ = options_.transport == TransportKind::Pty ? openPtyTransport(options_.portAlias, error)
                                                          : openUdpTransport(options_.udpAddress, error);
    if (transport_ == nullptr)
        return false;
    pacer_ = std::make_unique<LinePacer>(options_.baud, transport_->isDatagram());
    link_ = std::make_unique<DeviceLink>(options_.device.protocol, transport_->isDatagram(), options_.faults, *pacer_,
                                         trace_);
    session_ = std::make_unique<SessionHandler>(options_.device, options_.faults, *store_, *link_);
    link_->setListener(session_.get());
    return true;
}

std::string SimServer::where() const
{
    return transport_ ? transport_->where() : std::string();
}

void SimServer::stop()
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = write(stopPipe_[1], &byte, 1);
}

void SimServer::serveDue()
{
    const Micros now = nowMicros();
    std::vector<uint8_t> arrived;
    const Micros arrivedAt = pacer_->takeArrived(now, arrived);
    if (!arrived.empty())
        link_->bytesArrived(arrived, arrivedAt);
    link_->timePassed(now);
    pacer_->flushDue(*transport_, now);
}

bool SimServer::run()
{
    for (;;) {
        serveDue();
        const Micros wake = std::min(pacer_->nextWake(), link_->nextDeadline());
        timespec timeout{};
        timespec *timeoutPointer = nullptr;
        if (wake != kNever) {
            const Micros wait = std::max<Micros>(0, wake - nowMicros());
            timeout.tv_sec = wait / 1000000;
            timeout.tv_nsec = (wait % 1000000) * 1000;
            timeoutPointer = &timeout;
        }
        pollfd watched[2] = {{transport_->pollFd(), POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        const int ready = ppoll(watched, 2, timeoutPointer, nullptr);
        if (ready < 0 && errno != EINTR)
            return false;
        if (watched[1].revents != 0)
            return true;
        if (watched[0].revents & POLLIN) {
            std::vector<uint8_t> bytes;
            if (!transport_->receive(bytes))
                return false;
            pacer_->arrive(bytes, nowMicros());
        } else if (watched[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            return false;
        }
    }
}

} // namespace q57::sim
