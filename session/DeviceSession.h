// SPDX-License-Identifier: MIT
#pragma once
// The one connection to the Q57 for the length of a job: opening the link on the
// configured port, the mode and level handshake, and the item exchanges on link
// channel 5 (read, write, address book clear). Headless: it runs on the job's
// worker thread and reaches the user only through UserInteraction (messages and
// notices) and the status log.
//
// Callers: the backup, restore and clear jobs, each started from either front end.
// A job runs connectDevice (clearDeviceAddressBook connects by itself), its
// exchanges, then closeDeviceLink whatever happened; closing a link that was
// never opened does nothing.
//
// The device's level lives in FormatContext::deviceLevelTwo, the flag the memo
// reader consults: every framed response of six bytes or more rewrites it here,
// so a restore that clears it before connecting reads the device's answer there
// afterwards (also through deviceLevelTwo()).

#include <cstdint>
#include <optional>
#include <string>

#include "app/PortChoice.h"
#include "link/include/spp.h"
#include "session/SessionEnvelope.h"

namespace q57 {

class AppSettings;
class ItemCatalogue;
class StatusLog;
class UserInteraction;
struct DataItem;
struct FormatContext;
struct JobFlags;

// Pauses and receive time-outs of the exchanges, in milliseconds. The defaults
// are the ones the device is built for; tests shorten the long waits.
struct SessionTiming {
    unsigned openRetryPause = 500;   // between two failed opens of the port
    unsigned modeSwitchPause = 2500; // while the device changes mode
    uint16_t modeReportWait = 10000;
    uint16_t readResponseWait = 10000; // read start, each chunk, read end
    uint16_t writeAcceptWait = 25000;
    uint16_t writeProgressWait = 20000;
    uint16_t clearAcceptWait = 20000;
    uint16_t rebuildWait = 40000; // the address book's answer after its end of data
    unsigned afterAddressBookPause = 500;
    unsigned quitQuestionPoll = 200; // while the front end asks whether to quit
};

class DeviceSession {
public:
    // The job flags and the status log are the ones the settings hold. One
    // session serves every job of the program's run: a device that needed the
    // alternate handshake level keeps getting it.
    DeviceSession(AppSettings &settings, ItemCatalogue &catalogue, FormatContext &formats, UserInteraction &ui);
    ~DeviceSession();
    DeviceSession(const DeviceSession &) = delete;
    DeviceSession &operator=(const DeviceSession &) = delete;

    // Replaces the port choice of the settings for this run (for example a UDP
    // address given on the command line), never stored; nothing goes back to
    // the settings.
    void setPortOverride(std::optional<PortChoice> port);
    // The device file name that a read of the File item asks for; at most 16
    // bytes are sent.
    void setDeviceFileName(const std::string &name);
    void setTiming(const SessionTiming &timing) { timing_ = timing; }

    // Initialise, open (up to five tries) and connect the link.
    bool openDeviceLink();
    // Mode query with the version check; switches the device to mode 4 when needed.
    bool handshakeDevice();
    // openDeviceLink, then handshakeDevice with one retry at the alternate level.
    bool connectDevice();
    // Releases and closes the link when it is open; otherwise does nothing.
    void closeDeviceLink();
    // The program ends now, while the job's thread may still be inside a link
    // call, opening the port included: puts the port's saved line settings
    // back when it is fully open (sppAbandon), without the release exchange;
    // the descriptor closes with the process. Every later link call of the
    // job's thread fails. Nothing may use the session afterwards.
    void abandonLink();

    // Reads the whole item into its stream, with progress notices and the end check.
    bool readItemFromDevice(DataItem &item);
    // Writes item.size bytes of the item's stream; total is what the device
    // compares with its capacity (0: no comparison).
    bool writeItemToDevice(DataItem &item, uint32_t total);
    // Connects, then empties the device's address book. The caller closes the link.
    bool clearDeviceAddressBook();

    uint32_t expectedTotal() const { return expectedTotal_; }
    // The check value of the last read end; the backup resets it before the items
    // whose files keep it as their trailer.
    uint16_t deviceCheckValue() const { return deviceCheckValue_; }
    void setDeviceCheckValue(uint16_t value) { deviceCheckValue_ = value; }
    bool alternateHandshake() const { return alternateHandshake_; }
    bool deviceLevelTwo() const;

private:
    // The storage the link handle is set up in: sppInit is told its whole
    // size, 5000 bytes, more than the handle needs.
    union LinkHandleStorage {
        uint8_t bytes[5000];
        SppHandle handle;
    };
    static_assert(sizeof(LinkHandleStorage) == 5000);

    SppHandle *handle();
    PortChoice portChoice() const;
    bool openPort();
    bool connectLink();
    bool sendRequest(RequestCode code, const RequestFields &fields, uint8_t tries);
    bool receiveResponse(uint16_t timeoutMs);
    SessionResponse parseReceived();
    void sendProgress(const DataItem &item, uint64_t percent);
    void sleepMs(unsigned milliseconds) const;

    bool sendReadRequest(const DataItem &item);
    void takeReadStart(DataItem &item, uint32_t total, uint32_t &received);
    bool receiveChunk(DataItem &item, uint8_t count, uint16_t &check, uint32_t &received, uint16_t &lines);
    bool readFinished(DataItem &item, uint32_t count, uint32_t received, uint16_t check);
    void abortRead();

    bool acceptWrite(DataItem &item, uint32_t total, uint32_t &capacity);
    bool roomForWrite(DataItem &item, uint32_t total, uint32_t capacity);
    bool sendChunks(DataItem &item, uint16_t &check);
    bool finishWrite(DataItem &item, uint16_t check);

    bool clearFailure(uint8_t code);

    AppSettings &settings_;
    ItemCatalogue &catalogue_;
    FormatContext &formats_;
    JobFlags &flags_;
    StatusLog &log_;
    UserInteraction &ui_;

    SessionTiming timing_;
    LinkHandleStorage link_{};
    std::optional<PortChoice> portOverride_;
    std::string deviceFileName_;
    SessionBuffer buffer_{};
    size_t responseLength_ = 0;
    bool linkOpen_ = false;
    bool alternateHandshake_ = false;
    uint32_t expectedTotal_ = 0;
    uint16_t deviceCheckValue_ = 0;
};

} // namespace q57
