/*
 * spp.h - the Q57 device link library (libspp).
 *
 * The library speaks the Q57's framed link protocol over a serial port or
 * over UDP. Frames carry a header byte, a sequence number, a length, the
 * payload and a CRC-16/ARC check value; every data frame is acknowledged.
 * Two protocol versions exist: v4, which is tried first, and the older v3
 * (serial only, payloads of at most 255 bytes), which sppConnect falls back to.
 *
 * Plain C (C11) and C++. Link with -lspp. Only POSIX and the C++ standard
 * library underneath; nothing is allocated, logged or printed.
 *
 * How to use it
 * -------------
 * 1. Init.     Allocate an SppHandle (static, on the stack or inside a larger
 *              record) and call sppInit with its size, a port string and a
 *              speed code. A port string that starts with "COM" (any case)
 *              selects the serial port; anything else is read as the device's
 *              dotted IPv4 address and selects UDP (port 47999 at both ends).
 * 2. Open.     sppOpen opens the port or socket. Serial port names are
 *              resolved like this: "COM1:" becomes "com1"; if
 *              ${XDG_CONFIG_HOME:-$HOME/.config}/Zantherix/ports/com1 exists
 *              (normally a symbolic link to /dev/ttyUSB0 or the like), that is
 *              opened; otherwise "comN" opens /dev/ttyS(N-1). The port is
 *              opened exclusively, set to raw 8N1 at the chosen speed without
 *              flow control, and DTR is raised; its previous settings are kept
 *              in the handle and put back by sppClose.
 * 3. Connect.  sppConnect wakes the device and agrees on a protocol version.
 * 4. Exchange. sppSend sends one data frame on a channel (0 to 5) and waits
 *              for its acknowledgement; sppReceive waits for one data frame on
 *              a channel and acknowledges it. The Q57's own session uses
 *              channel 5.
 * 5. Release.  sppRelease ends the connection with the device.
 * 6. Close.    sppClose closes the port or socket. The handle may be opened
 *              again; there is nothing to free.
 *
 * Results
 * -------
 * Every function returns 1 for success and 0 for failure, nothing else: no
 * error codes, no messages. Every function except sppCommRead and
 * sppCommWrite refuses (returns 0, does nothing) a handle whose magic is not
 * SPP_MAGIC; those two refuse such a handle too, as its descriptor field
 * means nothing then.
 *
 * Waiting
 * -------
 * sppConnect, sppSend, sppReceive, sppRelease, sppConfig and the two
 * sppWaitReset functions block for up to their time-outs. Waiting sleeps in
 * poll(): an idle wait costs next to no processor time. While a frame is
 * arriving on a serial line, the rest of it is waited for through its wire
 * time at the port's speed rather than byte by byte, and reads never take
 * bytes beyond the frame being completed, so sppFlushRx still discards
 * whatever follows it.
 *
 * Threading
 * ---------
 * One caller at a time per handle; nothing is locked. The UDP transport keeps
 * the datagram being read in one buffer per process, so only one UDP handle
 * may be in use at a time in a process. Serial handles on different ports
 * are independent.
 *
 * Functions
 * ---------
 * sppInit(h, size, port, speedCode)
 *     Sets the handle up; nothing is opened. size: the bytes available at h;
 *     below SPP_HANDLE_SIZE (4236) the call fails and h is left untouched.
 *     port: "COMn" / "COMn:" for a serial port (at most 19 characters are
 *     kept), else an IPv4 address such as "192.168.1.20" (a string that is
 *     no address gives 255.255.255.255 and fails only when frames go
 *     unanswered). speedCode: 0 = 9600, 1 = 19200, anything else = 38400 baud.
 *     Selects protocol v4. Result 1 (0 for a small record or a NULL argument).
 * sppOpen(h)
 *     Opens the transport. Serial: opens the device, saves its line settings,
 *     applies the handle's, raises DTR. UDP: binds port 47999 on every local
 *     address (SO_REUSEADDR, so a device simulator on another loopback address
 *     can share it); datagrams from any address but the device's are then
 *     dropped unread. Result 0 when a step fails; a port opened before a later
 *     step failed stays open: call sppClose.
 * sppClose(h)
 *     Serial: discards pending input, lowers DTR, puts the saved line settings
 *     back and closes; result: whether the close succeeded (0 when the port
 *     was not open). UDP: closes the socket; result 1.
 * sppFlushRx(h)
 *     Discards input that has arrived and not been read. Result 1 on success.
 * sppCommRead(h, buffer, count, bytesRead)
 *     Reads up to count bytes already received on the serial port, without
 *     waiting; *bytesRead gets the number read, possibly 0. Result 1 when the
 *     read succeeded.
 * sppCommWrite(h, data, count, bytesWritten)
 *     Writes count bytes to the serial port; *bytesWritten gets the number
 *     written. Result 1 when the write succeeded.
 * sppConnect(h, tries)
 *     Up to tries attempts with protocol v4, then up to tries attempts with
 *     v3, 50 ms apart; each attempt sends the attention byte and a connect
 *     frame and waits 750 ms for its acknowledgement (v3 first sends 130 more
 *     attention bytes to wake an older device). On success activeProtocol
 *     names the version that answered and both sequence numbers restart.
 *     With tries 0 nothing is sent. Result 1 when the device answered.
 * sppRelease(h)
 *     Sends the attention byte and a release frame; result 1 when the device
 *     acknowledged it within 750 ms.
 * sppReset(h)
 *     v4 only (0 on a v3 link, nothing sent). Sends the attention byte and a
 *     reset frame; no acknowledgement is awaited. Result 1 when written.
 * sppConfig(h, value)
 *     v4 only (0 on a v3 link, nothing sent). Sends the attention byte and a
 *     configure frame carrying value; result 1 when acknowledged within 750 ms.
 * sppSend(h, channel, data, length, tries)
 *     Sends length bytes on channel (0 to 5) as one data frame and waits for
 *     its acknowledgement, up to tries times, 1000 ms each; retries repeat
 *     the frame's sequence number. length: at most 1018 (v4) or 255 (v3);
 *     a longer payload, or a channel above 5, fails before anything is
 *     written. Result 1 when acknowledged. A device may refuse a frame with a
 *     status answer: the call then fails at once.
 * sppReceive(h, channel, timeoutMs, buffer, capacity, receivedLength)
 *     Waits up to timeoutMs for a new data frame on channel (0 to 5),
 *     acknowledging every data frame that arrives (repeats are acknowledged
 *     as such and dropped; new frames on other channels are dropped). Copies
 *     at most capacity bytes of its payload to buffer (the rest is dropped);
 *     *receivedLength gets the number copied (set to 0 first). Result 1 when
 *     a frame arrived.
 * sppWaitResetBoot(h, timeoutMs)
 *     Waits up to timeoutMs for eight boot signals from a device that is
 *     restarting. Sends nothing. Result 1 when all eight came.
 * sppWaitResetApp(h, timeoutMs)
 *     Waits up to timeoutMs for eight attention bytes from the device (data
 *     frames on channel 0 count too). Sends nothing. Result 1 when all came.
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
 * and passes it to every function; the library never allocates one. Its
 * size, 4236 bytes with magic first, is fixed: the static assertions below
 * hold the layout (frame kind and channel are single bytes, and the port's
 * descriptor and saved termios settings take the place of other platforms'
 * serial records).
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
