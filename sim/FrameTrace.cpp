// SPDX-License-Identifier: MIT
#include "sim/FrameTrace.h"

namespace q57::sim {

FrameTrace::~FrameTrace()
{
    if (ownsFile_)
        std::fclose(file_);
}

bool FrameTrace::open(const std::string &path, Micros start)
{
    start_ = start;
    if (path == "-") {
        file_ = stderr;
        return true;
    }
    file_ = std::fopen(path.c_str(), "w");
    ownsFile_ = file_ != nullptr;
    return ownsFile_;
}

const char *frameKindName(uint8_t kind)
{
    switch (kind) {
    case spp::AttentionToDevice:
    case spp::AttentionFromDevice: return "attention";
    case spp::BootSignal: return "boot";
    case spp::Reset: return "reset";
    case spp::Configure: return "configure";
    case spp::Acknowledge: return "ack";
    case spp::Status: return "status";
    case spp::Connect: return "connect";
    case spp::Release: return "release";
    case spp::Data: return "data";
    default: return "unknown";
    }
}

std::string hexBytes(const uint8_t *bytes, size_t length)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(length * 2);
    for (size_t i = 0; i < length; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0F];
    }
    return text.empty() ? "-" : text;
}

namespace {

std::string bodyOf(const spp::LinkFrame &frame)
{
    switch (frame.kind) {
    case spp::Data:
    case spp::Reset:
    case spp::Configure: return hexBytes(frame.payload, frame.length);
    case spp::Acknowledge: return hexBytes(&frame.status, 1);
    case spp::Status: {
        const uint8_t pair[2] = {frame.status, frame.statusValue};
        return hexBytes(pair, 2);
    }
    default: return "-";
    }
}

std::string stamp(Micros start)
{
    return std::to_string((nowMicros() - start) / 1000);
}

} // namespace

void FrameTrace::frame(bool sent, uint8_t protocol, const spp::LinkFrame &frame, const uint8_t *wire, size_t length,
                       const char *note)
{
    if (file_ == nullptr)
        return;
    char sequence[8];
    std::snprintf(sequence, sizeof sequence, "%02X", frame.sequence);
    std::string text = stamp(start_) + (sent ? " tx v" : " rx v") + std::to_string(protocol) + " " +
                       frameKindName(frame.kind) + " seq=" + sequence +
                       " ch=" + (frame.kind == spp::Data ? std::to_string(frame.channel) : "-") +
                       " body=" + bodyOf(frame) + " wire=" + hexBytes(wire, length);
    if (note != nullptr)
        text += std::string(" note=") + note;
    if (holding_ && !sent)
        held_.insert(held_.begin(), text); // the frame being handled comes first
    else
        line(text);
}

void FrameTrace::garbage(uint8_t protocol, const uint8_t *wire, size_t length)
{
    if (file_ == nullptr)
        return;
    line(stamp(start_) + " tx v" + std::to_string(protocol) +
         " garbage seq=-- ch=- body=- wire=" + hexBytes(wire, length));
}

void FrameTrace::release()
{
    holding_ = false;
    for (const std::string &text : held_)
        line(text);
    held_.clear();
}

void FrameTrace::line(const std::string &text)
{
    if (holding_) {
        held_.push_back(text);
        return;
    }
    std::fputs(text.c_str(), file_);
    std::fputc('\n', file_);
    std::fflush(file_);
}

} // namespace q57::sim
