// SPDX-License-Identifier: MIT
// quicktextFromFile over any bytes, then the reversal over its output, which
// must send exactly the accepted entries.
#include "FuzzWorld.h"

#include "formats/QuicktextFile.h"
#include "formats/TextEntryTable.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static q57::fuzz::FuzzWorld world;
    if (!world.run(q57::quicktextFromFile, q57::fuzz::bytes(data, size)))
        return 0;
    const std::string device = world.output;
    world.run(q57::reverseTextEntries, device);
    if (world.output.size() != device.size() || world.quicktext.recordCount >= 20)
        std::abort();
    return 0;
}
