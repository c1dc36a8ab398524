// SPDX-License-Identifier: MIT
/*
 * spp.h - the Q57 device link library (libspp).
 *
 * The library speaks the Q57's framed link protocol over a serial port or
 * over UDP. Frames carry a header byte, a sequence number, a length, the
 * payload and a CRC-16/ARC check value; every data frame is acknowledged.
 * Two protocol versions exist: v4, which is tried first, and the older v3
 * (serial only, payloads of at most 255 bytes), which sppConnect falls back to.
 *
 * Plain C (C11) and C++, for Linux. Link with -lspp. Only POSIX and Linux
 * calls and the C++ standard library underneath; nothing is allocated,
 * logged or printed.
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
 *              taken for this handle alone (see sppOpen), set to raw 8N1 at
 *              the chosen speed without flow control, and DTR is raised; its
 *              previous settings are kept in the handle and put back by
 *              sppClose.
 * 3. Connect.  sppConnect wakes the device and agrees on a protocol version.
 * 4. Exchange. sppSend sends one data frame on a channel (0 to 5) and waits
 *              for its acknowledgement; sppReceive waits for one data frame on
 *              a channel and acknowledges it. The Q57's own session uses
 *              channel 5.
 * 5. Release.  sppRelease ends the connection with the device.
 * 6. Close.    sppClose closes the port or socket. The handle may be opened
 *              again; there is nothing to free.
 * Before opening, or after sppOpen failed, sppDescribePort tells which device
 * a serial port name opens, whether it exists and whether this user may open
 * it; it needs no handle.
 *
 * The handle's memory
 * -------------------
 * An SppHandle is 4236 bytes (SPP_HANDLE_SIZE) and must be aligned for a
 * uint32_t: 4 bytes, _Alignof(SppHandle) in C, alignof(SppHandle) in C++.
 * A variable of type SppHandle, or memory from malloc, is; a record of
 * bytes that holds one needs _Alignas(SppHandle) (C) or alignas(SppHandle)
 * (C++). A handle holds the descriptor of its open port or socket: do not
 * copy an open handle and go on using both copies.
 *
 * Results
 * -------
 * Every function returns 1 for success and 0 for failure, nothing else: no
 * error codes, no messages. Every function that takes a handle refuses
 * (returns 0, does nothing) a NULL handle and one whose magic is not
 * SPP_MAGIC, that is, one that sppInit has not set up; sppInit itself sets
 * such a record up. They all refuse a handle that sppAbandon has taken,
 * sppInit included.
 *
 * A read error on the port or socket (EIO when a USB serial adapter is
 * unplugged, EBADF when the handle is not open) and a serial port that
 * reports a hang-up end sppConnect, sppSend, sppReceive, sppRelease,
 * sppConfig and the two sppWaitReset functions at once with 0, instead of
 * waiting out their time-outs as if the device were silent; so does a frame
 * that cannot be written, in every function that sends one (sppConnect
 * then tries no further attempt and no v3). sppReceive does not check the
 * writes of its acknowledgements: a lost one makes the device repeat its
 * frame. The handle stays open: call sppClose, then sppOpen to try again.
 *
 * Acknowledged sends and the device's status answers
 * --------------------------------------------------
 * sppSend, sppConnect, sppRelease and sppConfig send a frame under
 * acknowledgement. Each first sends the attention byte (with a 10 ms pause
 * before and after it), then throws away all input not read yet: the bytes
 * the protocol holds in its rxBuffer and everything the port or socket has
 * received (as sppFlushRx does). A data frame the device sent before the
 * call is lost that way. Then the frame goes out, numbered with txSequence,
 * and every try waits for an answer that carries that same number: answers
 * with another number are ignored, and so is every other frame. The answer
 * decides:
 *   acknowledge        success; txSequence goes up by one.
 *   status 1           resynchronise: txSequence becomes the status frame's
 *                      second byte and this try ends. The next try sends the
 *                      frame again under its original number, and waits for
 *                      an answer that carries the new txSequence.
 *   status 2           this try ends; the next one follows at once.
 *   status 0, 3, 4, 6  refused: the call fails at once, without further
 *                      tries; txSequence goes up by one.
 *   any other status   ignored: the try goes on waiting.
 * A try whose time runs out without such an answer is followed by the next
 * one; a retry repeats the frame's sequence number. After the last try the
 * call fails, txSequence as it was or as the last status 1 set it.
 * (sppConnect numbers its connect frame 0; see sppConnect.) The device's
 * status answers reach the caller only as these results.
 *
 * Waiting
 * -------
 * Waiting sleeps in poll(): an idle wait costs next to no processor time.
 * While a frame is arriving on a serial line, the rest of it is waited for
 * through its wire time at the port's speed rather than byte by byte, and
 * reads never take bytes beyond the frame being completed, so sppFlushRx
 * still discards whatever follows it.
 *
 * The longest each call can block, beyond the time its writes take (below):
 *   sppInit, sppOpen        no waiting (but see sppClose for a handle that
 *                           was still open)
 *   sppFlushRx, sppCommRead no waiting
 *   sppDescribePort         no waiting
 *   sppAbandon              no waiting
 *   sppClose                serial: until output still queued has gone out
 *                           (the driver's closing wait, 30 s at most unless
 *                           the port was set up otherwise)
 *   sppReset                20 ms (the attention pauses)
 *   sppRelease, sppConfig   770 ms: the attention pauses and one 750 ms try
 *   sppSend                 20 ms + tries x 1000 ms (about 255 s with
 *                           255 tries)
 *   sppConnect              tries x 830 ms for v4, then the same for v3
 *                           (on UDP, where v3 cannot be written, 20 ms):
 *                           at most about 7 minutes with 255 tries
 *   sppReceive, sppWaitResetBoot, sppWaitResetApp
 *                           timeoutMs (at most 65.535 s)
 * Writes block until the driver has taken every byte. A serial port without
 * flow control takes them at its line speed: a frame (at most 1024 bytes)
 * needs no more than its wire time, 1.1 s at 9600 baud, and normally no
 * time at all, as the driver's buffer holds it. A pseudo-terminal whose
 * other side reads nothing blocks writes once its buffer is full, for as
 * long as nothing is read. A UDP send does not block.
 *
 * Calls are not interruptible. A signal does not end a call: a wait or
 * pause interrupted by a signal handler goes on to its end. Nothing can
 * cancel a call from another thread either; a program that wants to stop
 * sooner has to wait for the call to return, at the latest after the times
 * above. Do not close the handle's descriptor behind its back, and do not
 * cancel (pthread_cancel) a thread inside a call: the handle would be left
 * in an unknown state.
 *
 * Threading, and the UDP buffer of a process
 * ------------------------------------------
 * One caller at a time per handle; nothing is locked. Serial handles on
 * different ports are independent. The one exception is sppAbandon, for a
 * program that ends at once while a call of another thread still runs: it
 * may be called from any thread (not from a signal handler) at any time.
 *
 * The UDP transport keeps the datagram being read in one 2048-byte buffer
 * per process, outside every handle (a handle has no room for it). All UDP
 * handles of a process share it, and sppInit of any UDP handle empties it:
 * only one UDP handle may be in use at a time in a process, and setting up
 * another while one is receiving loses what is left of its datagram. A
 * second UDP handle cannot be opened while one is open anyway (see sppOpen).
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
 *     Selects protocol v4. A UDP handle empties the process's UDP buffer.
 *     A handle that sppInit set up before and that is still open is closed
 *     first, exactly as sppClose does, so its descriptor does not leak.
 *     (So give sppInit a fresh record or a handle of this library; memory
 *     that merely happens to start with SPP_MAGIC would have a descriptor
 *     closed.) Result 1 (0 for a small record or a NULL argument).
 * sppOpen(h)
 *     Opens the transport; a handle that is already open is closed first.
 *     On failure nothing stays open, the port is as it was, and result 0.
 *     Serial: opens the device without waiting for a carrier, then takes
 *     its flock(LOCK_EX), the lock serial terminal programs take; when
 *     another open of the port holds it, the open fails and the port is
 *     left untouched. Every open handle holds that lock, so a second
 *     sppOpen of the same port fails, in this process or any other, root's
 *     included. The port is also made exclusive (TIOCEXCL): while it is
 *     open, the kernel refuses other opens of it, except root's, whether
 *     they lock or not. The same goes the other way: a port that another
 *     program made exclusive fails to open, except for root, who gets it
 *     unless that program holds the lock.
 *     Then sppOpen saves the line settings, applies the handle's (raw 8N1
 *     at the handle's speed, no flow control, modem status lines ignored,
 *     reads that return at once), raises DTR and RTS and turns on the
 *     driver's low-latency mode if it is off. Modem lines and low latency
 *     are best effort: a pseudo-terminal has neither.
 *     UDP: binds port 47999 on every local address, sharing it only with
 *     sockets of the same user that were bound to port 47999 before and
 *     allow it (SO_REUSEPORT), such as a device simulator on another
 *     loopback address, which must therefore be started first. Once bound,
 *     the socket allows no more sharing: while it is open, every other bind
 *     of port 47999 on this machine that would overlap it fails, another
 *     user's and this user's alike, so nobody else receives the device's
 *     answers and a second UDP sppOpen fails. Fails when another socket
 *     already holds port 47999 in a way that excludes sharing. Datagrams
 *     from anywhere but the device's address and port 47999 are dropped
 *     unread.
 * sppClose(h)
 *     Serial: discards pending input, lowers DTR, puts the saved line
 *     settings back, turns low latency off again if sppOpen turned it on,
 *     ends exclusivity and closes, which lets the flock go; result: whether
 *     the close succeeded (0 when the port was not open). UDP: closes the
 *     socket; result 1, also when it was not open.
 * sppAbandon(h)
 *     For a program that is about to end (_exit) while another thread may
 *     be inside any call on h, sppInit and sppOpen included. h: a handle
 *     that sppInit has set up, or a record of zeros. When a serial port is
 *     fully open (sppOpen has returned 1, or is past its last step, and no
 *     sppClose has begun), sppAbandon takes it: discards pending input,
 *     lowers DTR, puts the saved line settings back, turns low latency off
 *     again if sppOpen turned it on and ends exclusivity, as sppClose does,
 *     but does not close the descriptor (the other thread may still use
 *     its number) and writes nothing to the handle but its portState. Every
 *     later call on h fails (sppInit included, which leaves it as it is);
 *     a call already running goes on with the port's settings put back,
 *     and never closes the descriptor. The process's end closes it and
 *     lets the flock go. Otherwise (no port
 *     open, a port halfway through sppOpen or sppClose, a UDP handle)
 *     nothing is done: a port caught halfway keeps whatever settings it has
 *     at the process's end, and the descriptor closes with the process.
 *     Result 1 when it took a port, else 0.
 * sppFlushRx(h)
 *     Discards input the port or socket has received and not been read (on
 *     UDP, up to 256 waiting datagrams and what is left of the current one).
 *     Bytes the protocol already holds in its rxBuffer stay; the sends
 *     above empty it. Result 1 on success (UDP: always 1).
 * sppCommRead(h, buffer, count, bytesRead)
 *     Reads up to count bytes already received on the serial port, without
 *     waiting; *bytesRead gets the number read, possibly 0. Result 1 when
 *     the read succeeded; 0 on a read error, a port that has hung up, and
 *     a UDP handle (it has no serial port).
 * sppCommWrite(h, data, count, bytesWritten)
 *     Writes count bytes to the serial port; *bytesWritten gets the number
 *     written. Result 1 when every byte was written.
 * sppConnect(h, tries)
 *     Up to tries attempts with protocol v4, then up to tries attempts with
 *     v3, pausing 50 ms after each unanswered one (v3 is not tried when v4
 *     failed on a read or write error). An attempt sends the attention
 *     byte (v3: then 130 more to wake an older device), pauses 10 ms and
 *     sends a connect frame numbered 0 under acknowledgement, one try of
 *     750 ms. On success activeProtocol names the version that answered,
 *     that protocol's txSequence becomes 1 and its rxSequence 0; a failed
 *     attempt leaves txSequence as it was. tries 0: nothing is sent, result
 *     0 at once. Result 1 when the device answered.
 * sppRelease(h)
 *     Sends a release frame under acknowledgement, one try of 750 ms.
 *     Result 1 when the device acknowledged it.
 * sppReset(h)
 *     v4 only (0 on a v3 link, nothing sent). Sends the attention byte and a
 *     reset frame; no acknowledgement is awaited and no input is discarded.
 *     Result 1 when written.
 * sppConfig(h, value)
 *     v4 only (0 on a v3 link, nothing sent). Sends a configure frame
 *     carrying value under acknowledgement, one try of 750 ms. Result 1 when
 *     acknowledged.
 * sppSend(h, channel, data, length, tries)
 *     Sends length bytes on channel (0 to 5) as one data frame under
 *     acknowledgement, up to tries tries of 1000 ms each. length: at most
 *     1018 (v4) or 255 (v3); a longer payload, a channel above 5 or NULL
 *     data with a length fails before anything is written. tries 0: the
 *     attention byte goes out and pending input is discarded, but no frame
 *     is sent; result 0. Result 1 when acknowledged.
 * sppReceive(h, channel, timeoutMs, buffer, capacity, receivedLength)
 *     Waits up to timeoutMs for a new data frame on channel (0 to 5),
 *     acknowledging every data frame that arrives (repeats are acknowledged
 *     as such and dropped; new frames on other channels are dropped; every
 *     other frame, status answers included, is ignored). Copies at most
 *     capacity bytes of its payload to buffer (the rest is dropped);
 *     *receivedLength gets the number copied (set to 0 first). Input is not
 *     flushed first: a frame that arrived before the call is taken. timeoutMs
 *     0: result 0 at once, nothing is read. Result 1 when a frame arrived.
 * sppWaitResetBoot(h, timeoutMs)
 *     Waits up to timeoutMs for eight boot signals from a device that is
 *     restarting. Sends nothing. timeoutMs 0: result 0 at once. Result 1
 *     when all eight came.
 * sppWaitResetApp(h, timeoutMs)
 *     Waits up to timeoutMs for eight attention bytes from the device (data
 *     frames on channel 0 count too). Sends nothing. timeoutMs 0: result 0
 *     at once. Result 1 when all came.
 * sppDescribePort(portName, info)
 *     Describes the device a serial port name opens, without opening it:
 *     for a front end's list of ports, or to tell a user why sppOpen
 *     failed. portName: a port string that sppInit takes for a serial port
 *     (it starts with "COM"), of which, as there, at most 19 characters
 *     count; it is resolved as sppOpen resolves it (see "Open" above).
 *     info gets an SppPortInfo:
 *       devicePath       for a ports folder entry, the file it leads to with
 *                        every symbolic link resolved; for a link that leads
 *                        nowhere, the link's own text (it may be relative);
 *                        otherwise /dev/ttyS(N-1).
 *       fromPortsFolder  1 when the name has an entry in the ports folder.
 *       present          1 when the file sppOpen would open exists.
 *       permitted        1 when it is present and this process may open it
 *                        for reading and writing, judged by its effective
 *                        user and groups as open() judges (root always may).
 *                        Whether another program holds the port, or whether
 *                        it is a serial port at all, is not looked at.
 *       truncated        1 when devicePath was too long for its
 *                        SPP_PORT_PATH_SIZE bytes: it is then cut short
 *                        before the UTF-8 character that would not fit.
 *     Result 1; 0 for a NULL argument, a UDP address (such as "NONE") and
 *     a name that names no port: one without a ports folder entry that is
 *     not "COMn" with n at least 1, or one with a "/" in it. On 0, an info
 *     that is not NULL is all zeros (devicePath "").
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
#define SPP_ALIGNOF(type) alignof(type)
#else
#define SPP_STATIC_ASSERT(condition, message) _Static_assert(condition, message)
#define SPP_ALIGNOF(type) _Alignof(type)
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
 * lowLatencySet      1 while the port is open and sppOpen turned its
 *                    low-latency mode on (sppClose turns it off again).
 * portState          0 while no serial port is open, or while sppOpen or
 *                    sppClose is at work on it; 1 once sppOpen has the
 *                    port open with its settings saved; 2 once sppAbandon
 *                    has taken the port. Read and written only atomically
 *                    (sppAbandon may change it from another thread): do not
 *                    touch it.
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
    uint8_t lowLatencySet;
    uint8_t portState;
    uint8_t reserved;
} SppHandle;

/** Size of SppPortInfo.devicePath, its terminating NUL included. */
#define SPP_PORT_PATH_SIZE 256u

/**
 * What sppDescribePort finds out about a serial port name; the fields are
 * described there. Every flag is 0 or 1; devicePath always ends in a NUL.
 */
typedef struct SppPortInfo {
    char devicePath[SPP_PORT_PATH_SIZE];
    uint8_t fromPortsFolder;
    uint8_t present;
    uint8_t permitted;
    uint8_t truncated;
} SppPortInfo;

SPP_STATIC_ASSERT(offsetof(SppHandle, magic) == 0, "magic comes first");
SPP_STATIC_ASSERT(sizeof(SppLinkFrame) == 1032, "frame record layout");
SPP_STATIC_ASSERT(offsetof(SppLinkFrame, payload) == 6, "frame record layout");
SPP_STATIC_ASSERT(sizeof(SppProtocolState) == 2062, "protocol state layout");
SPP_STATIC_ASSERT(offsetof(SppProtocolState, txFrame) == 1026, "protocol state layout");
SPP_STATIC_ASSERT(offsetof(SppHandle, savedLineSettings) == 32, "handle layout");
SPP_STATIC_ASSERT(offsetof(SppHandle, v3State) == 104, "handle layout");
SPP_STATIC_ASSERT(offsetof(SppHandle, v4State) == 2166, "handle layout");
SPP_STATIC_ASSERT(offsetof(SppHandle, activeProtocol) == 4228, "handle layout");
SPP_STATIC_ASSERT(offsetof(SppHandle, lineSettingsSaved) == 4232, "handle layout");
SPP_STATIC_ASSERT(offsetof(SppHandle, portState) == 4234, "handle layout");
SPP_STATIC_ASSERT(sizeof(SppHandle) == SPP_HANDLE_SIZE, "SppHandle is exactly 4236 bytes");
SPP_STATIC_ASSERT(SPP_ALIGNOF(SppHandle) == 4, "a handle is aligned like a uint32_t");
SPP_STATIC_ASSERT(sizeof(SppPortInfo) == SPP_PORT_PATH_SIZE + 4, "port description layout");

SPP_API uint16_t sppInit(SppHandle *h, uint16_t size, const char *port, uint16_t speedCode);
SPP_API uint16_t sppOpen(SppHandle *h);
SPP_API uint16_t sppClose(SppHandle *h);
SPP_API uint16_t sppAbandon(SppHandle *h);
SPP_API uint16_t sppFlushRx(SppHandle *h);
SPP_API uint16_t sppCommRead(SppHandle *h, uint8_t *buffer, uint16_t count, uint32_t *bytesRead);
SPP_API uint16_t sppCommWrite(SppHandle *h, const uint8_t *data, uint16_t count, uint32_t *bytesWritten);
SPP_API uint16_t sppConnect(SppHandle *h, uint8_t tries);
SPP_API uint16_t sppRelease(SppHandle *h);
SPP_API uint16_t sppReset(SppHandle *h);
SPP_API uint16_t sppConfig(SppHandle *h, uint8_t value);
SPP_API uint16_t sppSend(SppHandle *h, uint16_t channel, const uint8_t *data, uint16_t length, uint8_t tries);
SPP_API uint16_t sppReceive(SppHandle *h, uint16_t channel, uint16_t timeoutMs, uint8_t *buffer, uint16_t capacity,
                            uint16_t *receivedLength);
SPP_API uint16_t sppWaitResetBoot(SppHandle *h, uint16_t timeoutMs);
SPP_API uint16_t sppWaitResetApp(SppHandle *h, uint16_t timeoutMs);
SPP_API uint16_t sppDescribePort(const char *portName, SppPortInfo *info);

#ifdef __cplusplus
}
#endif

#endif /* SPP_H */
