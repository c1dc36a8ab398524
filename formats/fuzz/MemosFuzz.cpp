// SPDX-License-Identifier: MIT
// memosFromFile over any bytes (the first byte chooses a level-two device), then
// the reversal over its output, which must send exactly the accepted records (a
// closing label without its text is not a record).
#include "FuzzWorld.h"

#include "formats/MemosFile.h"
#include "formats/TextEntryTable.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static q57::fuzz::FuzzWorld world;
    if (size < 2) // an empty file leaves the table of the last file as it was
        return 0;
    world.context.deviceLevelTwo = (data[0] & 1) != 0;
    if (!world.run(q57::memosFromFile, q57::fuzz::bytes(data + 1, size - 1)))
        return 0;
    const std::string device = world.output;
    const uint16_t count = world.context.textEntryCount;
    const size_t recordBytes = count ? world.context.textEntries.entries[count - 1].end : 0;
    world.run(q57::reverseTextEntries, device);
    if (world.output.size() != recordBytes || recordBytes > device.size())
        std::abort();
    return 0;
}
