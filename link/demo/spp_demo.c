// SPDX-License-Identifier: MIT
/* The link library from plain C: connect to a device, send one frame,
 * receive one, release. Usage: spp_demo [PORT]   (default "COM1:") */
#include <stdio.h>
#include <string.h>

#include "link/include/spp.h"

static int step(const char *what, uint16_t result)
{
    printf("host:   %-40s %s\n", what, result == 1 ? "ok" : "FAILED");
    return result == 1;
}

int main(int argc, char **argv)
{
    const char *port = argc > 1 ? argv[1] : "COM1:";
    setvbuf(stdout, NULL, _IOLBF, 0);
    static SppHandle handle;
    const uint8_t request[] = "backup, please";
    uint8_t reply[128];
    uint16_t replyLength = 0;
    int ok = step("sppInit", sppInit(&handle, (uint16_t)sizeof handle, port, 2)) && step("sppOpen", sppOpen(&handle)) &&
             step("sppConnect (v4 first, then v3)", sppConnect(&handle, 3));
    if (ok)
        printf("host:   connected with protocol %s\n", handle.activeProtocol == SPP_PROTOCOL_V4 ? "v4" : "v3");
    ok = ok && step("sppSend on channel 5", sppSend(&handle, 5, request, (uint16_t)strlen((const char *)request), 3));
    ok = ok &&
         step("sppReceive on channel 5", sppReceive(&handle, 5, 3000, reply, (uint16_t)sizeof reply, &replyLength));
    if (ok)
        printf("host:   received %u bytes: \"%.*s\"\n", replyLength, (int)replyLength, (const char *)reply);
    ok = ok && step("sppRelease", sppRelease(&handle));
    step("sppClose", sppClose(&handle));
    return ok ? 0 : 1;
}
