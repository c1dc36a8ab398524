// SPDX-License-Identifier: MIT
/* Uses the public header from plain C: it must compile as C11. */
#include <string.h>

#include "link/include/spp.h"

int cHeaderInitsAHandle(void)
{
    SppHandle handle;
    memset(&handle, 0, sizeof handle);
    if (sppInit(&handle, (uint16_t)sizeof handle, "127.0.0.1", 2) != 1)
        return 0;
    return handle.magic == SPP_MAGIC && handle.transport == SPP_TRANSPORT_UDP &&
           handle.activeProtocol == SPP_PROTOCOL_V4;
}
