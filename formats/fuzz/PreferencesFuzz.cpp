// SPDX-License-Identifier: MIT
// preferencesFromFile and the check value test on its output, as a restore runs
// them; an accepted file must decode back to what the writer would store.
#include "FuzzWorld.h"

#include "formats/DeviceBlockFile.h"
#include "formats/TransferCheck.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static q57::fuzz::FuzzWorld world;
    const std::string file = q57::fuzz::bytes(data, size);
    if (!world.run(q57::preferencesFromFile, file))
        return 0;
    const std::string block = world.output;
    std::istringstream in(block, std::ios::binary);
    q57::verifyFileCheckValue(world.context, in);
    world.run(q57::preferencesToFile, block);
    if (world.output.substr(1) != file.substr(1))
        std::abort();
    return 0;
}
