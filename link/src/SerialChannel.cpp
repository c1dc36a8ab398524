// SPDX-License-Identifier: MIT
// termios layer of the serial transport.
#include "link/src/SerialChannel.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

#include "link/src/PortNames.h"

namespace spp {
namespace {

static_assert(sizeof(termios) <= SPP_SAVED_LINE_SETTINGS_SIZE, "the handle keeps a whole struct termios");

speed_t speedConstant(uint32_t baud)
{
    switch (baud) {
    case 9600: return B9600;
    case 19200: return B19200;
    default: return B38400;
    }
}

// Modem lines are best effort: a pseudo-terminal has none (ENOTTY).
bool setModemLines(int fd, unsigned long request, int lines)
{
    if (ioctl(fd, request, &lines) == 0)
        return true;
    return errno == ENOTTY || errno == EINVAL;
}

// USB serial adapters otherwise hold received bytes for up to 16 ms, which
// this stop-and-wait protocol pays once per frame. Best effort (a
// pseudo-terminal has no such setting); true when this call turned it on.
bool requestLowLatency(int fd)
{
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0 || (serial.flags & ASYNC_LOW_LATENCY) != 0)
        return false;
    serial.flags |= ASYNC_LOW_LATENCY;
    return ioctl(fd, TIOCSSERIAL, &serial) == 0;
}

// Turns low latency off again, as the port was before requestLowLatency.
void dropLowLatency(int fd)
{
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) == 0 && (serial.flags & ASYNC_LOW_LATENCY) != 0) {
        serial.flags &= ~ASYNC_LOW_LATENCY;
        ioctl(fd, TIOCSSERIAL, &serial);
    }
}

// A port that reports a hang-up or an error (a USB adapter unplugged, the
// other side of a pseudo-terminal closed) reads as empty forever: ask poll.
bool portFailed(int fd)
{
    pollfd port{fd, POLLIN, 0};
    return poll(&port, 1, 0) > 0 && (port.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
}

bool applyRawLine(int fd, uint32_t baud)
{
    termios line{};
    if (tcgetattr(fd, &line) != 0)
        return false;
    cfmakeraw(&line);
    line.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS | CSIZE);
    line.c_cflag |= CS8 | CLOCAL | CREAD;
    line.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    line.c_cc[VMIN] = 0; // reads return at once with what is buffered
    line.c_cc[VTIME] = 0;
    if (cfsetispeed(&line, speedConstant(baud)) != 0 || cfsetospeed(&line, speedConstant(baud)) != 0)
        return false;
    return tcsetattr(fd, TCSANOW, &line) == 0;
}

std::atomic_ref<uint8_t> portState(const SppHandle &h)
{
    return std::atomic_ref<uint8_t>(const_cast<uint8_t &>(h.portState));
}

// The port is this thread's to close again, unless sppAbandon has taken it.
bool takeBackPort(SppHandle &h)
{
    uint8_t state = PortPublished;
    if (portState(h).compare_exchange_strong(state, PortUnpublished, std::memory_order_acquire))
        return true;
    return state != PortAbandoned;
}

bool saveLineSettings(SppHandle &h)
{
    termios saved{};
    if (tcgetattr(h.portFd, &saved) != 0)
        return false;
    std::memcpy(h.savedLineSettings, &saved, sizeof saved);
    h.lineSettingsSaved = 1;
    return true;
}

// What serialClose and serialAbandon undo on an open port, short of closing
// it; reads the handle only.
void putPortBack(const SppHandle &h)
{
    tcflush(h.portFd, TCIFLUSH);
    setModemLines(h.portFd, TIOCMBIC, TIOCM_DTR);
    if (h.lineSettingsSaved != 0) {
        termios saved{};
        std::memcpy(&saved, h.savedLineSettings, sizeof saved);
        tcsetattr(h.portFd, TCSANOW, &saved);
    }
    if (h.lowLatencySet != 0)
        dropLowLatency(h.portFd);
    // Exclusivity would outlive the close on a pseudo-terminal whose other side stays open.
    ioctl(h.portFd, TIOCNXCL);
}

} // namespace

uint32_t baudForSpeedCode(uint16_t speedCode)
{
    switch (speedCode) {
    case 0: return 9600;
    case 1: return 19200;
    default: return 38400;
    }
}

bool portAbandoned(const SppHandle &h)
{
    return portState(h).load(std::memory_order_acquire) == PortAbandoned;
}

void clearPortState(SppHandle &h)
{
    portState(h).store(PortUnpublished, std::memory_order_relaxed);
}

bool serialOpen(SppHandle &h)
{
    if (h.portFd >= 0)
        serialClose(h); // reopening must not leak the earlier descriptor
    if (portAbandoned(h))
        return false; // the descriptor is sppAbandon's now
    std::string device;
    if (!resolvePortDevice(h.portName, device))
        return false;
    // Non-blocking only for the open itself, so a port without carrier does not hang it.
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    // The lock serial terminal programs take on the port, which TIOCEXCL
    // alone does not give: it keeps out root, and a program that opened the
    // port before us. A port held by another must be left exactly as it is.
    // (A port already made exclusive is not refused: on a pseudo-terminal
    // exclusivity outlives a holder that was killed, and would lock the port
    // for good.)
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 || ioctl(fd, TIOCEXCL) != 0) {
        close(fd);
        return false;
    }
    h.portFd = fd;
    if (!saveLineSettings(h) || !applyRawLine(h.portFd, h.baudRate) ||
        !setModemLines(h.portFd, TIOCMBIS, TIOCM_DTR | TIOCM_RTS)) {
        serialClose(h); // puts back what was changed, and lets the port go
        return false;
    }
    h.lowLatencySet = requestLowLatency(h.portFd) ? 1 : 0;
    // Last: what sppAbandon reads from another thread is complete by now.
    portState(h).store(PortPublished, std::memory_order_release);
    return true;
}

bool serialClose(SppHandle &h)
{
    if (h.portFd < 0 || !takeBackPort(h))
        return false;
    putPortBack(h);
    h.lineSettingsSaved = 0;
    h.lowLatencySet = 0;
    const bool closed = close(h.portFd) == 0; // also lets go of the flock
    h.portFd = -1;
    return closed;
}

bool serialAbandon(SppHandle &h)
{
    uint8_t state = PortPublished;
    if (!portState(h).compare_exchange_strong(state, PortAbandoned, std::memory_order_acquire))
        return false;
    putPortBack(h);
    return true;
}

bool serialFlushInput(SppHandle &h)
{
    return tcflush(h.portFd, TCIFLUSH) == 0;
}

bool serialRead(SppHandle &h, uint8_t *buffer, size_t count, size_t &bytesRead)
{
    bytesRead = 0;
    const ssize_t n = read(h.portFd, buffer, count);
    if (n > 0) {
        bytesRead = static_cast<size_t>(n);
        return true;
    }
    if (n == 0) // nothing there, or a port that hung up: serialHungUp tells them apart
        return true;
    return errno == EINTR || errno == EAGAIN;
}

bool serialHungUp(SppHandle &h)
{
    return portFailed(h.portFd);
}

bool serialWrite(SppHandle &h, const uint8_t *data, size_t count, size_t &bytesWritten)
{
    bytesWritten = 0;
    while (bytesWritten < count) {
        const ssize_t n = write(h.portFd, data + bytesWritten, count - bytesWritten);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytesWritten += static_cast<size_t>(n);
    }
    return true;
}

bool serialWaitReadable(SppHandle &h, int timeoutMs)
{
    pollfd port{h.portFd, POLLIN, 0};
    const int ready = poll(&port, 1, timeoutMs);
    if (ready < 0)
        return errno == EINTR;
    return (port.revents & (POLLERR | POLLHUP | POLLNVAL)) == 0;
}

} // namespace spp
