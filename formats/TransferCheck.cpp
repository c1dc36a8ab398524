// SPDX-License-Identifier: MIT
#include "formats/TransferCheck.h"

#include "app/StatusLog.h"
#include "formats/FormatContext.h"
#include "link/codec/FrameCodec.h"

#include <array>
#include <istream>

namespace q57 {

uint16_t transferCheck(uint16_t running, const uint8_t *bytes, size_t count)
{
    const uint16_t *table = spp::crc16ArcTable();
    uint32_t s = running;
    for (size_t i = 0; i < count; ++i) {
        // Unlike a plain CRC, the table step is added to the running value.
        s = (s + ((s >> 8) ^ table[(s ^ bytes[i]) & 0xFF])) & 0xFFFF;
    }
    return static_cast<uint16_t>(s);
}

namespace {

bool corrupt(FormatContext &context)
{
    context.log.log("File is corrupt. CRC failure.\n");
    return false;
}

} // namespace

bool verifyFileCheckValue(FormatContext &context, std::istream &input)
{
    input.clear();
    input.seekg(0, std::ios::end);
    const std::streamoff size = input.tellg();
    input.clear();
    input.seekg(0, std::ios::beg);
    if (size < 2)
        return true;

    uint16_t s = 0;
    std::array<uint8_t, 2000> block{};
    std::streamoff left = size - 2;
    while (left > 0) {
        const std::streamsize wanted = left < static_cast<std::streamoff>(block.size())
                                           ? static_cast<std::streamsize>(left)
                                           : static_cast<std::streamsize>(block.size());
        input.read(reinterpret_cast<char *>(block.data()), wanted);
        const std::streamsize got = input.gcount();
        if (got <= 0) // the data ended before its measured size
            return corrupt(context);
        s = transferCheck(s, block.data(), static_cast<size_t>(got));
        left -= got;
    }

    uint8_t trailer[2] = {};
    input.read(reinterpret_cast<char *>(trailer), 2);
    if (input.gcount() != 2)
        return corrupt(context);
    const uint16_t stored = static_cast<uint16_t>(trailer[0] | (trailer[1] << 8));
    if (s != stored)
        return corrupt(context);
    return true;
}

} // namespace q57
