// SPDX-License-Identifier: MIT
// Pseudo-terminal transport: the simulator holds the master and also keeps
// the slave open itself, so that the host closing and reopening the port
// never leaves the master hung up.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "sim/SimTransport.h"

#include "link/src/PortNames.h"

namespace q57::sim {
namespace {

class PtyTransport final : public SimTransport {
public:
    PtyTransport(int master, int slave, std::string slavePath, std::string linkPath)
        : master_(master), slave_(slave), slavePath_(std::move(slavePath)), linkPath_(std::move(linkPath))
    {
    }
    ~PtyTransport() override
    {
        if (!linkPath_.empty())
            unlink(linkPath_.c_str());
        close(slave_);
        close(master_);
    }

    int pollFd() const override { return master_; }

    bool receive(std::vector<uint8_t> &bytes) override
    {
        uint8_t buffer[4096];
        for (;;) {
            const ssize_t n = read(master_, buffer, sizeof buffer);
            if (n > 0) {
                bytes.insert(bytes.end(), buffer, buffer + n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            // EIO would mean no slave is open; ours always is.
            return n < 0 && (errno == EAGAIN || errno == EIO);
        }
    }

    size_t send(const uint8_t *data, size_t count) override
    {
        const ssize_t n = write(master_, data, count);
        return n > 0 ? static_cast<size_t>(n) : 0;
    }

    bool isDatagram() const override { return false; }
    std::string where() const override { return slavePath_; }

private:
    int master_;
    int slave_;
    std::string slavePath_;
    std::string linkPath_;
};

bool makeRaw(int fd)
{
    termios line{};
    if (tcgetattr(fd, &line) != 0)
        return false;
    cfmakeraw(&line);
    cfsetispeed(&line, B38400);
    cfsetospeed(&line, B38400);
    return tcsetattr(fd, TCSANOW, &line) == 0;
}

bool createPortLink(const std::string &path, const std::string &target, std::string &error)
{
    std::error_code failure;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), failure);
    if (failure) {
        error = "cannot create the ports folder for " + path + ": " + failure.message();
        return false;
    }
    std::filesystem::remove(path, failure);
    std::filesystem::create_symlink(target, path, failure);
    if (failure) {
        error = "cannot create the port link " + path + ": " + failure.message();
        return false;
    }
    return true;
}

} // namespace

std::unique_ptr<SimTransport> openPtyTransport(const std::string &alias, std::string &error)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        if (master >= 0)
            close(master);
        return nullptr;
    }
    const char *name = ptsname(master);
    const std::string slavePath = name != nullptr ? name : "";
    const int slave = slavePath.empty() ? -1 : open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0 || !makeRaw(slave) || fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK) != 0) {
        error = "cannot set up the pseudo-terminal " + slavePath;
        if (slave >= 0)
            close(slave);
        close(master);
        return nullptr;
    }
    std::string linkPath;
    if (!alias.empty()) {
        linkPath = spp::portEntryPath(alias.c_str());
        if (linkPath.empty())
            error = "cannot place a port link named " + alias;
        if (linkPath.empty() || !createPortLink(linkPath, slavePath, error)) {
            close(slave);
            close(master);
            return nullptr;
        }
    }
    return std::make_unique<PtyTransport>(master, slave, slavePath, linkPath);
}

} // namespace q57::sim
