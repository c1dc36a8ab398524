// SPDX-License-Identifier: MIT
// The device's side of the session on channel 5: mode query and switch,
// reading an item, writing an item (the empty address book write clears it),
// and the abort and cancel requests.
#pragma once

#include <cstdint>
#include <optional>

#include "session/SessionCodes.h"
#include "sim/DeviceLink.h"
#include "sim/FaultPlan.h"
#include "sim/ItemStore.h"
#include "sim/SimOptions.h"

namespace q57::sim {

class SessionHandler final : public LinkListener {
public:
    // After a mode switch the device is off the link this long.
    static constexpr Micros kModeChangeTime = 2000 * 1000;
    static constexpr size_t kChunkSize = kMaxChunkData;

    SessionHandler(const DeviceSettings &settings, const FaultPlan &faults, ItemStore &store, DeviceLink &link);

    void linkConnected() override { write_.reset(); }
    void linkDropped() override { write_.reset(); }
    void requestReceived(const uint8_t *payload, size_t length) override;

    uint8_t mode() const { return mode_; }

private:
    struct WriteInProgress {
        uint8_t item = 0;
        Bytes data;
        uint16_t check = 0; // over every chunk byte received, repeats included
        uint32_t chunks = 0;
        bool offsetShortened = false;
        bool offsetLengthened = false;
    };

    void framedRequest(const uint8_t *payload, size_t length);
    void modeSwitch(uint8_t wanted);
    void readItem(const uint8_t *payload, size_t length);
    void writeItem(uint8_t item);
    void dataChunk(const uint8_t *payload, size_t length);
    void endOfData(uint16_t check);
    bool loadForRead(uint8_t item, const uint8_t *name, size_t nameLength, Bytes &data) const;
    uint32_t capacityFor(uint8_t item) const;

    Bytes framed(uint8_t code) const;
    void refuse();
    void send(Bytes response) { link_.sendData(std::move(response)); }

    const DeviceSettings &settings_;
    const FaultPlan &faults_;
    ItemStore &store_;
    DeviceLink &link_;
    uint8_t mode_;
    std::optional<WriteInProgress> write_;
};

} // namespace q57::sim
