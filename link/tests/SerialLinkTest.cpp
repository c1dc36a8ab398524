// SPDX-License-Identifier: MIT
// What only the serial transport does: the v3 fallback, the line settings,
// the raw byte functions, holding the port, a port that goes away.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "link/tests/LinkFixture.h"

using namespace spp;
using namespace spp::test;
using Bytes = std::vector<uint8_t>;

namespace {

// Number of bytes equal to value right in front of position.
size_t runBefore(const Bytes &bytes, size_t position, uint8_t value)
{
    size_t count = 0;
    while (position > count && bytes[position - count - 1] == value)
        ++count;
    return count;
}

// Whether the port is exclusive (TIOCEXCL): 1 or 0, -1 when it cannot tell.
int exclusive(int fd)
{
    int flag = -1;
    return ioctl(fd, TIOCGEXCL, &flag) == 0 ? flag : -1;
}

// sppOpen of port in a child process: its result, or -1 when the child failed.
int openInChild(const char *port)
{
    const pid_t child = fork();
    if (child == 0) {
        SppHandle other;
        const bool opened = sppInit(&other, sizeof other, port, 2) == 1 && sppOpen(&other) == 1;
        sppClose(&other); // a pseudo-terminal's exclusivity would outlive the process
        _exit(opened ? 1 : 0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// The port's settings changed to something raw mode undoes, through `observer`.
void makeCooked(int observer)
{
    termios cooked{};
    ASSERT_EQ(tcgetattr(observer, &cooked), 0);
    cooked.c_lflag |= ECHO | ICANON;
    ASSERT_EQ(tcsetattr(observer, TCSANOW, &cooked), 0);
}

bool cooked(int observer)
{
    termios now{};
    return tcgetattr(observer, &now) == 0 && (now.c_lflag & (ECHO | ICANON)) == (ECHO | ICANON);
}

bool descriptorOpen(int fd)
{
    return fcntl(fd, F_GETFD) != -1;
}

} // namespace

TEST_F(LinkTest, ConnectFallsBackToV3)
{
    peer->run([](ScriptedPeer &p) {
        LinkFrame frame{};
        p.nextFrameOfKind(Connect, frame, ProtocolVersion::V4, 3000); // a v3-only device stays silent
        if (p.nextFrameOfKind(Connect, frame, ProtocolVersion::V3, 3000))
            p.acknowledge(frame.sequence, ProtocolVersion::V3);
    });
    ASSERT_EQ(sppConnect(&h, 1), 1);
    peer->join();
    EXPECT_EQ(h.activeProtocol, SPP_PROTOCOL_V3);
    EXPECT_EQ(h.v3State.txSequence, 1);

    const Bytes line = peer->received();
    const uint16_t crc = crc16Arc(Bytes{0xBB, 0x00, 0x00}.data(), 3);
    const Bytes v3Connect{0xBB, 0x00, 0x00, static_cast<uint8_t>(crc), static_cast<uint8_t>(crc >> 8)};
    const auto at = std::search(line.begin(), line.end(), v3Connect.begin(), v3Connect.end());
    ASSERT_NE(at, line.end());
    EXPECT_EQ(runBefore(line, static_cast<size_t>(at - line.begin()), 0xB8), 131u);
    EXPECT_EQ(line.front(), 0xC8) << "v4 is tried first";

    // v3 has no reset or configure, and its length byte limits a payload to 255 bytes.
    EXPECT_EQ(sppReset(&h), 0);
    EXPECT_EQ(sppConfig(&h, 1), 0);
    const Bytes payload(256, 0x5A);
    EXPECT_EQ(sppSend(&h, 5, payload.data(), 256, 1), 0);
    peer->run([](ScriptedPeer &p) { p.silentFor(50); });
    peer->join();
    EXPECT_EQ(peer->received().size(), line.size()) << "refused operations write nothing";
    peer->run([](ScriptedPeer &p) {
        LinkFrame frame{};
        if (p.nextFrameOfKind(Data, frame, ProtocolVersion::V3, 3000))
            p.acknowledge(frame.sequence, ProtocolVersion::V3);
    });
    EXPECT_EQ(sppSend(&h, 5, payload.data(), 200, 1), 1);
    peer->join();
    const LinkFrame &sent = peer->frames().back();
    EXPECT_EQ(sent.kind, Data);
    EXPECT_EQ(sent.length, 200);
    EXPECT_EQ(sent.sequence, 1);
    EXPECT_EQ(h.v3State.txSequence, 2);
}

TEST_F(LinkTest, LineSettingsAreRawWhileOpenAndRestoredAtClose)
{
    const std::string port = configHome + "/Zantherix/ports/com1";
    const int observer = open(port.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(observer, 0);
    ASSERT_EQ(sppClose(&h), 1);
    termios before{};
    ASSERT_EQ(tcgetattr(observer, &before), 0);
    before.c_lflag |= ECHO | ICANON; // something raw mode must undo
    cfsetospeed(&before, B1200);
    ASSERT_EQ(tcsetattr(observer, TCSANOW, &before), 0);

    for (const auto &[speedCode, speed] : {std::pair{0, B9600}, {1, B19200}, {2, B38400}, {7, B38400}}) {
        SCOPED_TRACE("speed code " + std::to_string(speedCode));
        ASSERT_EQ(sppInit(&h, sizeof h, "COM1:", static_cast<uint16_t>(speedCode)), 1);
        ASSERT_EQ(sppOpen(&h), 1);
        termios open{};
        ASSERT_EQ(tcgetattr(observer, &open), 0);
        EXPECT_EQ(cfgetospeed(&open), speed);
        EXPECT_EQ(open.c_lflag & (ECHO | ICANON), 0u);
        EXPECT_EQ(open.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(open.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
        EXPECT_EQ(open.c_cc[VMIN], 0);
        EXPECT_EQ(open.c_cc[VTIME], 0);
        ASSERT_EQ(sppClose(&h), 1);
        termios after{};
        ASSERT_EQ(tcgetattr(observer, &after), 0);
        EXPECT_EQ(cfgetospeed(&after), B1200);
        EXPECT_EQ(after.c_lflag & (ECHO | ICANON), static_cast<tcflag_t>(ECHO | ICANON));
    }
    close(observer);
    EXPECT_EQ(sppClose(&h), 0) << "a second close has nothing to close";
    ASSERT_EQ(sppOpen(&h), 1) << "a closed handle opens again";
}

TEST_F(LinkTest, RawReadWriteAndFlush)
{
    const Bytes hello{'h', 'e', 'l', 'l', 'o'};
    uint32_t count = 99;
    uint8_t buffer[8] = {};
    ASSERT_EQ(sppCommRead(&h, buffer, sizeof buffer, &count), 1);
    EXPECT_EQ(count, 0u) << "nothing buffered: success with no bytes, at once";

    ASSERT_EQ(sppCommWrite(&h, hello.data(), 5, &count), 1);
    EXPECT_EQ(count, 5u);
    peer->run([&](ScriptedPeer &p) {
        if (p.receivedAtLeast(hello.size(), 5000))
            p.sendBytes({'x', 'y', 'z'});
    });
    peer->join();
    EXPECT_EQ(peer->received(), hello);
    ASSERT_TRUE(waitForQueuedInput(3));
    ASSERT_EQ(sppCommRead(&h, buffer, 2, &count), 1);
    EXPECT_EQ(Bytes(buffer, buffer + count), (Bytes{'x', 'y'}));
    ASSERT_EQ(sppCommRead(&h, buffer, sizeof buffer, &count), 1);
    EXPECT_EQ(Bytes(buffer, buffer + count), (Bytes{'z'}));

    peer->run([](ScriptedPeer &p) { p.sendBytes({1, 2, 3}); });
    peer->join();
    ASSERT_TRUE(waitForQueuedInput(3));
    ASSERT_EQ(sppFlushRx(&h), 1);
    ASSERT_EQ(sppCommRead(&h, buffer, sizeof buffer, &count), 1);
    EXPECT_EQ(count, 0u) << "the flush discarded what was waiting";
}

TEST_F(LinkTest, AnOpenPortIsHeldAgainstEveryOtherOpen)
{
    // The flock keeps out a second handle of this process and another
    // process, root's too (these tests may well run as root, which TIOCEXCL
    // alone lets in).
    SppHandle other;
    ASSERT_EQ(sppInit(&other, sizeof other, "COM1:", 2), 1);
    EXPECT_EQ(sppOpen(&other), 0) << "a second handle in this process";
    EXPECT_EQ(other.portFd, -1) << "a refused open keeps nothing open";
    EXPECT_EQ(openInChild("COM1:"), 0) << "another process";
    EXPECT_EQ(exclusive(h.portFd), 1) << "the refused opens left the holder's exclusivity alone";

    // A terminal program that holds the lock keeps the library out too.
    const std::string port = configHome + "/Zantherix/ports/com1";
    ASSERT_EQ(sppClose(&h), 1);
    const int terminal = open(port.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    EXPECT_EQ(exclusive(terminal), 0) << "sppClose ended exclusivity";
    ASSERT_EQ(flock(terminal, LOCK_EX | LOCK_NB), 0) << "sppClose let the lock go";
    EXPECT_EQ(sppOpen(&h), 0);
    ASSERT_EQ(flock(terminal, LOCK_UN), 0);
    close(terminal);

    ASSERT_EQ(sppOpen(&other), 1) << "free again";
    EXPECT_EQ(other.lowLatencySet, 0) << "a pseudo-terminal has no low-latency mode to turn on";
    EXPECT_EQ(openInChild("COM1:"), 0);
    ASSERT_EQ(sppClose(&other), 1);
    EXPECT_EQ(openInChild("COM1:"), 1);
    ASSERT_EQ(sppOpen(&h), 1);
}

TEST_F(LinkTest, APortThatHangsUpFailsTheExchangeAtOnce)
{
    // The peer takes the data frame and, instead of acknowledging it, hangs
    // up: the host is waiting for the acknowledgement when its port goes.
    connect();
    peer->run([](ScriptedPeer &p) {
        LinkFrame frame{};
        p.nextFrameOfKind(Data, frame, ProtocolVersion::V4, 10000);
        p.hangUp();
    });
    // How soon each fails (not waiting out 30 tries of 1000 ms, or a 30 s
    // receive) is measured by bench/link/spp_early_return_bench.
    constexpr uint16_t kLongMs = 30000;
    const Bytes payload{'u', 'p'};
    EXPECT_EQ(sppSend(&h, 5, payload.data(), 2, 30), 0);
    peer->join();
    uint8_t buffer[8] = {};
    uint16_t length = 0;
    EXPECT_EQ(sppReceive(&h, 5, kLongMs, buffer, sizeof buffer, &length), 0);
    EXPECT_EQ(sppWaitResetApp(&h, kLongMs), 0);
    EXPECT_EQ(sppConnect(&h, 30), 0);
    uint32_t count = 0;
    EXPECT_EQ(sppCommRead(&h, buffer, sizeof buffer, &count), 0) << "a hung-up port is no empty port";
    EXPECT_EQ(sppCommWrite(&h, payload.data(), 2, &count), 0);
    EXPECT_EQ(sppClose(&h), 1) << "the port still closes";
}

// sppAbandon, for a program that ends while another thread is in a call:
// the open port gets its settings back, its descriptor stays open for the
// process's end, and the handle is of no more use.
TEST_F(LinkTest, AbandonPutsAnOpenPortBackAndKeepsItsDescriptor)
{
    const int observer = open((configHome + "/Zantherix/ports/com1").c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(observer, 0);
    ASSERT_EQ(sppClose(&h), 1);
    makeCooked(observer);
    SppHandle zeros{};
    EXPECT_EQ(sppAbandon(&zeros), 0) << "nothing open";
    EXPECT_EQ(sppAbandon(&h), 0) << "a closed port";
    EXPECT_EQ(sppAbandon(nullptr), 0);

    ASSERT_EQ(sppOpen(&h), 1) << "a handle that was not taken goes on";
    ASSERT_FALSE(cooked(observer));
    const int fd = h.portFd;
    EXPECT_EQ(sppAbandon(&h), 1);
    EXPECT_TRUE(cooked(observer)) << "the settings are back";
    EXPECT_EQ(exclusive(fd), 0);
    EXPECT_EQ(sppAbandon(&h), 0) << "taken once";
    EXPECT_EQ(sppClose(&h), 0);
    EXPECT_EQ(sppInit(&h, sizeof h, "COM1:", 2), 0);
    EXPECT_EQ(sppOpen(&h), 0);
    EXPECT_EQ(h.portFd, fd) << "the handle is left as it was";
    EXPECT_TRUE(descriptorOpen(fd)) << "the process's end closes it, not the library";
    close(fd);
    close(observer);
}

// Whenever sppAbandon comes while another thread opens and closes the port,
// it takes the port only fully open, and the other thread's calls fail from
// then on. (The ThreadSanitizer build also checks that nothing is shared
// unguarded.)
TEST_F(LinkTest, AbandonWhileAnotherThreadOpensThePort)
{
    const int observer = open((configHome + "/Zantherix/ports/com1").c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(observer, 0);
    ASSERT_EQ(sppClose(&h), 1);
    makeCooked(observer);
    std::thread job([this] {
        while (sppInit(&h, sizeof h, "COM1:", 2) == 1) {
            sppOpen(&h);
            sppClose(&h);
        }
    });
    while (sppAbandon(&h) == 0) {
        // Each round opens and closes the port, so one finds it open.
    }
    job.join();
    EXPECT_TRUE(cooked(observer));
    EXPECT_TRUE(descriptorOpen(h.portFd));
    close(h.portFd);
    close(observer);
}
