// SPDX-License-Identifier: MIT
// A scripted device for the link tests and the demo: it plays the device's
// side of the frames over a pseudo-terminal (reached through the ports
// folder as com1) or over UDP from 127.0.0.2:47999, on a thread of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/codec/FrameCodec.h"

namespace spp::test {

class ScriptedPeer {
public:
    using Script = std::function<void(ScriptedPeer &)>;

    // Opens a pseudo-terminal and links configHome/Zantherix/ports/com1 to
    // it; the caller points XDG_CONFIG_HOME at configHome.
    static std::unique_ptr<ScriptedPeer> onPseudoTerminal(const std::string &configHome);
    // Binds 127.0.0.2:47999; the host is reached at 127.0.0.1:47999.
    static std::unique_ptr<ScriptedPeer> onUdp();

    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer &) = delete;
    ScriptedPeer &operator=(const ScriptedPeer &) = delete;

    bool usable() const { return fd_ >= 0; }

    // Runs the script on the peer's thread; join() waits for it.
    void run(Script script);
    void join();

    // ---- for scripts ----
    // The next frame from the host (attention bytes are frames too).
    bool nextFrame(LinkFrame &frame, ProtocolVersion version, int timeoutMs);
    // The next frame of kind, skipping others (attention bytes included).
    bool nextFrameOfKind(FrameKind kind, LinkFrame &frame, ProtocolVersion version, int timeoutMs);
    void send(const LinkFrame &frame, ProtocolVersion version);
    void sendBytes(const std::vector<uint8_t> &bytes);
    void acknowledge(uint8_t sequence, ProtocolVersion version = ProtocolVersion::V4);
    void status(uint8_t sequence, uint8_t code, uint8_t value, ProtocolVersion version = ProtocolVersion::V4);
    void data(uint8_t channel, uint8_t sequence, const std::vector<uint8_t> &payload,
              ProtocolVersion version = ProtocolVersion::V4);
    // Sends bytes to the host from address:port, a socket of its own (UDP
    // only); port 0 takes any free port.
    static void sendFrom(const char *address, uint16_t port, const std::vector<uint8_t> &bytes);
    // Answers the v4 connect (attention, connect frame) with an acknowledgement.
    bool acceptConnect(ProtocolVersion version = ProtocolVersion::V4);
    // Waits until the host has sent count bytes in all; false when timeoutMs pass first.
    bool receivedAtLeast(size_t count, int timeoutMs);
    // Waits until the host has been silent for quietMs; true when nothing came.
    bool silentFor(int quietMs);
    // Closes the pseudo-terminal's master (and the peer's own slave): the
    // host's port hangs up, as when a USB serial adapter is unplugged.
    void hangUp();

    // Every byte the host sent, in order (read after join()).
    const std::vector<uint8_t> &received() const { return received_; }
    // Frames the host sent, in order (read after join()).
    const std::vector<LinkFrame> &frames() const { return frames_; }

private:
    enum class Kind { PseudoTerminal, Udp };
    ScriptedPeer(Kind kind, int fd) : kind_(kind), fd_(fd) {}
    bool readMore(int timeoutMs);
    CheckMode checkFor(ProtocolVersion version) const;

    Kind kind_;
    int fd_ = -1;
    int slaveFd_ = -1; // keeps the pseudo-terminal alive between host opens
    std::thread thread_;
    std::vector<uint8_t> pending_;
    std::vector<uint8_t> received_;
    std::vector<LinkFrame> frames_;
};

} // namespace spp::test
