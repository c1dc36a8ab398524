// SPDX-License-Identifier: MIT
// readAddressBookFile over any bytes, with a capacity taken from the first byte,
// then the device capacity check over what the pass left.
#include "FuzzWorld.h"

#include "formats/AddressBookFile.h"
#include "formats/DeviceCapacityCheck.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static q57::fuzz::FuzzWorld world;
    if (size == 0)
        return 0;
    world.addressBook.capacity = data[0] < 128 ? 0 : static_cast<uint16_t>(data[0] - 120);
    world.addressBook.itemFlags[1] = data[0];
    const bool ok = world.run(q57::readAddressBookFile, q57::fuzz::bytes(data + 1, size - 1));
    if (world.output.compare(0, 2, "\n\n") != 0)
        std::abort();
    if (ok)
        q57::checkDeviceCapacity(world.context, static_cast<uint16_t>(data[0] * 3));
    return 0;
}
