// termios layer of the serial transport.
#include "link/src/SerialChannel.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "link/src/Clock.h"
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
// this stop-and-wait protocol pays once per frame. Best effort.
void requestLowLatency(int fd)
{
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) == 0 && (serial.flags & ASYNC_LOW_LATENCY) == 0) {
        serial.flags |= ASYNC_LOW_LATENCY;
        ioctl(fd, TIOCSSERIAL, &serial);
    }
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
    line.c_cc[VMIN] = 0;  // reads return at once with what is buffered
    line.c_cc[VTIME] = 0;
    if (cfsetispeed(&line, speedConstant(baud)) != 0 || cfsetospeed(&line, speedConstant(baud)) != 0)
        return false;
    return tcsetattr(fd, TCSANOW, &line) == 0;
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

void restoreLineSettings(SppHandle &h)
{
    if (h.lineSettingsSaved == 0)
        return;
    termios saved{};
    std::memcpy(&saved, h.savedLineSettings, sizeof saved);
    tcsetattr(h.portFd, TCSANOW, &saved);
    h.lineSettingsSaved = 0;
}

}  // namespace

uint32_t baudForSpeedCode(uint16_t speedCode)
{
    switch (speedCode) {
    case 0: return 9600;
    case 1: return 19200;
    default: return 38400;
    }
}

bool serialOpen(SppHandle &h)
{
    if (h.portFd >= 0)
        serialClose(h);  // reopening must not leak the earlier descriptor
    std::string device;
    if (!resolvePortDevice(h.portName, device))
        return false;
    // Non-blocking only for the open itself, so a port without carrier does not hang it.
    h.portFd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (h.portFd < 0)
        return false;
    const int flags = fcntl(h.portFd, F_GETFL);
    if (flags < 0 || fcntl(h.portFd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return false;
    if (ioctl(h.portFd, TIOCEXCL) != 0 || !saveLineSettings(h) || !applyRawLine(h.portFd, h.baudRate))
        return false;
    requestLowLatency(h.portFd);
    return setModemLines(h.portFd, TIOCMBIS, TIOCM_DTR | TIOCM_RTS);
}

bool serialClose(SppHandle &h)
{
    if (h.portFd >= 0) {
        tcflush(h.portFd, TCIFLUSH);
        setModemLines(h.portFd, TIOCMBIC, TIOCM_DTR);
        restoreLineSettings(h);
        // Exclusivity would outlive the close on a pseudo-terminal whose other side stays open.
        ioctl(h.portFd, TIOCNXCL);
    }
    const bool closed = close(h.portFd) == 0;
    h.portFd = -1;
    return closed;
}

bool serialFlushInput(SppHandle &h) { return tcflush(h.portFd, TCIFLUSH) == 0; }

bool serialRead(SppHandle &h, uint8_t *buffer, size_t count, size_t &bytesRead)
{
    bytesRead = 0;
    const ssize_t n = read(h.portFd, buffer, count);
    if (n >= 0) {
        bytesRead = static_cast<size_t>(n);
        return true;
    }
    return errno == EINTR || errno == EAGAIN;
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

void serialWaitReadable(SppHandle &h, int timeoutMs)
{
    pollfd port{h.portFd, POLLIN, 0};
    const int ready = poll(&port, 1, timeoutMs);
    // A hung-up or failed port reports at once; pause instead so callers never spin.
    const bool hungUp = (port.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    if (ready < 0 ? errno != EINTR : (ready > 0 && (hungUp || (port.revents & POLLIN) == 0)))
        sleepMs(timeoutMs);
}

}  // namespace spp
