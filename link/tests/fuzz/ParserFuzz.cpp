// SPDX-License-Identifier: MIT
// libFuzzer target for the receive parser of both protocol versions. The
// first input byte picks version, side and check mode; in checked mode the
// harness writes the right check value behind every frame the input
// announces, so the fuzzer reaches the frame bodies. Every frame found must
// build back to exactly the bytes it was parsed from.
#include <cstdint>
#include <cstring>
#include <vector>

#include "link/codec/FrameCodec.h"

using namespace spp;

namespace {

bool singleByteType(uint8_t typeCode)
{
    return typeCode == 8 || typeCode == 12;
}

void sealFrames(std::vector<uint8_t> &bytes, ProtocolVersion version)
{
    const size_t header = headerSize(version);
    size_t position = 0;
    while (position < bytes.size()) {
        const uint8_t first = bytes[position];
        if ((first & 0x80u) == 0 || ((first >> 4) & 7u) != static_cast<unsigned>(version) ||
            singleByteType(first & 0x0Fu)) {
            ++position;
            continue;
        }
        if (position + header > bytes.size())
            return;
        const size_t length = version == ProtocolVersion::V4 ? (size_t{bytes[position + 2]} << 8 | bytes[position + 3])
                                                             : bytes[position + 2];
        const size_t end = position + header + length;
        if (end + 2 > bytes.size())
            return;
        const uint16_t crc = crc16Arc(bytes.data() + position, header + length);
        bytes[end] = static_cast<uint8_t>(crc);
        bytes[end + 1] = static_cast<uint8_t>(crc >> 8);
        position = end + 2;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const ParseOptions options{(data[0] & 1) ? ProtocolVersion::V3 : ProtocolVersion::V4,
                               (data[0] & 2) ? CheckMode::Unchecked : CheckMode::Computed,
                               (data[0] & 4) ? LinkSide::Device : LinkSide::Host};
    std::vector<uint8_t> bytes(data + 1, data + size);
    if (options.check == CheckMode::Computed)
        sealFrames(bytes, options.version);

    size_t position = 0;
    while (position < bytes.size()) {
        LinkFrame frame;
        const size_t left = bytes.size() - position;
        const ParseResult result = parseFrame(bytes.data() + position, left, options, frame);
        if (result.verdict == SPP_RF_NEED_MORE)
            break;
        if (result.consumed < 1 || result.consumed > left)
            __builtin_trap();
        if (result.verdict == SPP_RF_FRAME) {
            uint8_t rebuilt[kMaxFrameSize];
            const size_t n = buildFrame(frame, options.version, options.check, rebuilt, sizeof rebuilt);
            const size_t compared = options.check == CheckMode::Computed || n == 1 ? n : n - 2;
            if (n != result.consumed || std::memcmp(rebuilt, bytes.data() + position, compared) != 0)
                __builtin_trap();
        }
        position += result.consumed;
    }
    return 0;
}
