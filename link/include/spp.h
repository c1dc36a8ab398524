/*
 * spp.h - the Q57 device link library.
 *
 * PLACEHOLDER-MANUAL
 */
#ifndef SPP_H
#define SPP_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(SPP_BUILDING_LIBRARY)
#define SPP_API __attribute__((visibility("default")))
#else
#define SPP_API
#endif

#ifdef __cplusplus
#define SPP_STATIC_ASSERT(condition, message) static_assert(condition, message)
#else
#define SPP_STATIC_ASSERT(condition, message) _Static_assert(condition, message)
#endif

/** Value of SppHandle.magic once sppInit has set the handle up. */
#define SPP_MAGIC 0xF8EE0711u

/** Size of an SppHandle; sppInit refuses a smaller record. */
#define SPP_HANDLE_SIZE 4236u

/** Largest frame on the wire, and the size of a frame's payload store. */
#define SPP_MAX_FRAME 1024u

/** SppHandle.transport values. */
#define SPP_TRANSPORT_UDP 0u
#define SPP_TRANSPORT_SERIAL 1u

/** SppHandle.activeProtocol values. */
#define SPP_PROTOCOL_V3 0u
#define SPP_PROTOCOL_V4 1u

/** Local port and destination port of the UDP transport. */
#define SPP_UDP_PORT 47999u

/**
 * One frame in memory.
 *
 * kind        what the frame is: 1 attention (host to device), 2 boot signal,
 *             3 attention (device to host), 4 reset, 5 configure,
 *             6 acknowledge, 7 status, 8 connect, 9 release, 10 data.
 * channel     0 to 5, for data frames.
 * sequence    the frame's sequence number.
 * length      number of payload bytes.
 * payload     the body of data, reset and configure frames.
 * status      first body byte of an acknowledge or status frame.
 * statusValue second body byte of a status frame.
 */
typedef struct SppLinkFrame {
    uint8_t kind;
    uint8_t channel;
    uint8_t sequence;
    uint8_t reserved;
    uint16_t length;
    uint8_t payload[SPP_MAX_FRAME];
    uint8_t status;
    uint8_t statusValue;
} SppLinkFrame;

/**
 * The state of one frame protocol (v3 or v4) inside a handle.
 *
 * rxBuffer    bytes read from the channel and not yet taken by a frame.
 * rxLength    number of bytes in rxBuffer.
 * txFrame     the frame being sent under acknowledgement.
 * tryCount    tries made for txFrame.
 * tryLimit    tries allowed for txFrame.
 * txSequence  sequence number of the next acknowledged frame (wraps at 256).
 * rxSequence  sequence number expected on the next new data frame.
 */
typedef struct SppProtocolState {
    uint8_t rxBuffer[SPP_MAX_FRAME];
    uint16_t rxLength;
    SppLinkFrame txFrame;
    uint8_t tryCount;
    uint8_t tryLimit;
    uint8_t txSequence;
    uint8_t rxSequence;
} SppProtocolState;

/** Room for the port's previous line settings (a struct termios). */
#define SPP_SAVED_LINE_SETTINGS_SIZE 60u

/**
 * The link handle. The caller allocates it (at least SPP_HANDLE_SIZE bytes)
 * and passes it to every function; the library never allocates one.
 *
 * magic              SPP_MAGIC once sppInit has succeeded.
 * transport          SPP_TRANSPORT_SERIAL or SPP_TRANSPORT_UDP.
 * portName           the port string given to sppInit (serial), at most
 *                    19 characters and a terminating NUL.
 * portFd             descriptor of the open serial port, -1 when closed.
 * savedLineSettings  the port's line settings as they were before sppOpen,
 *                    put back by sppClose (opaque: a struct termios).
 * baudRate           9600, 19200 or 38400, applied at sppOpen.
 * socket             descriptor of the UDP socket, -1 when closed.
 * peerAddress        the device's IPv4 address, network byte order.
 * v3State, v4State   the state of each frame protocol.
 * activeProtocol     SPP_PROTOCOL_V4 or SPP_PROTOCOL_V3: the protocol that
 *                    answered sppConnect (v4 until then).
 * lineSettingsSaved  1 while savedLineSettings holds settings to put back.
 */
typedef struct SppHandle {
    uint32_t magic;
    uint32_t transport;
    char portName[20];
    int32_t portFd;
    uint8_t savedLineSettings[SPP_SAVED_LINE_SETTINGS_SIZE];
    uint32_t baudRate;
    int32_t socket;
    uint32_t peerAddress;
    SppProtocolState v3State;
    SppProtocolState v4State;
    uint32_t activeProtocol;
    uint8_t lineSettingsSaved;
    uint8_t reserved[3];
} SppHandle;

SPP_STATIC_ASSERT(offsetof(SppHandle, magic) == 0, "magic comes first");
SPP_STATIC_ASSERT(sizeof(SppLinkFrame) == 1032, "frame record layout");
SPP_STATIC_ASSERT(offsetof(SppLinkFrame, payload) == 6, "frame record layout");
SPP_STATIC_ASSERT(sizeof(SppProtocolState) == 2062, "protocol state layout");
SPP_STATIC_ASSERT(offsetof(SppProtocolState, txFrame) == 1026, "protocol state layout");
SPP_STATIC_ASSERT(offsetof(SppHandle, savedLineSettings) == 32, "handle layout");
SPP_STATIC_ASSERT(offsetof(SppHandle, v3State) == 104, "handle layout");
SPP_STATIC_ASSERT(offsetof(SppHandle, v4State) == 2166, "handle layout");
SPP_STATIC_ASSERT(offsetof(SppHandle, activeProtocol) == 4228, "handle layout");
SPP_STATIC_ASSERT(sizeof(SppHandle) == SPP_HANDLE_SIZE, "SppHandle is exactly 4236 bytes");

SPP_API uint16_t sppInit(SppHandle *h, uint16_t size, const char *port, uint16_t speedCode);
SPP_API uint16_t sppOpen(SppHandle *h);
SPP_API uint16_t sppClose(SppHandle *h);
SPP_API uint16_t sppFlushRx(SppHandle *h);
SPP_API uint16_t sppCommRead(SppHandle *h, uint8_t *buffer, uint16_t count, uint32_t *bytesRead);
SPP_API uint16_t sppCommWrite(SppHandle *h, const uint8_t *data, uint16_t count, uint32_t *bytesWritten);
SPP_API uint16_t sppConnect(SppHandle *h, uint8_t tries);
SPP_API uint16_t sppRelease(SppHandle *h);
SPP_API uint16_t sppReset(SppHandle *h);
SPP_API uint16_t sppConfig(SppHandle *h, uint8_t value);
SPP_API uint16_t sppSend(SppHandle *h, uint16_t channel, const uint8_t *data, uint16_t length, uint8_t tries);
SPP_API uint16_t sppReceive(SppHandle *h, uint16_t channel, uint16_t timeoutMs, uint8_t *buffer,
                            uint16_t capacity, uint16_t *receivedLength);
SPP_API uint16_t sppWaitResetBoot(SppHandle *h, uint16_t timeoutMs);
SPP_API uint16_t sppWaitResetApp(SppHandle *h, uint16_t timeoutMs);

#ifdef __cplusplus
}
#endif

#endif /* SPP_H */
