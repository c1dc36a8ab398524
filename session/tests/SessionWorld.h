// SPDX-License-Identifier: MIT
#pragma once
// A private world for end-to-end session tests: its own home, configuration and
// temporary folders (so the simulator's port link and the settings stay inside
// it), the program's settings, catalogue and format context built there, a
// recording user interaction, and a session over them.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "app/ItemCatalogue.h"
#include "app/ScriptedInteraction.h"
#include "formats/FormatContext.h"
#include "session/DeviceSession.h"
#include "tests/support/SimulatorProcess.h"
#include "tests/support/UserWorld.h"

namespace q57::testing {

using Bytes = std::vector<uint8_t>;

// "DE AD BE EF" -> its bytes (spaces are ignored).
Bytes hexBytes(std::string hex);
// count bytes of an uneven pattern that differs with seed.
Bytes patternBytes(size_t count, uint8_t seed);
Bytes textBytes(const std::string &text);
// The percentages of the progress notices, each checked to move this bar.
std::vector<int> progressOf(const ScriptedInteraction &ui, int bar);

// The program's objects, built in dependency order once the environment is set.
struct SessionRig {
    explicit SessionRig(const std::filesystem::path &root);

    ScriptedInteraction ui;
    AppSettings settings;
    ItemCatalogue catalogue;
    FormatContext formats;
    DeviceSession session;
    std::string logPath;

    DataItem &item(ItemId id) { return catalogue.item(id); }
    // The status log as written so far, with its CR LF line ends.
    std::string logText() const;
};

class SessionWorld : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the simulator on a pseudo-terminal as COM1 with these further
    // options, and a fresh rig whose port is COM1.
    void startOnPty(const std::vector<std::string> &options);
    // The same over UDP on 127.0.0.2; the rig's port is that address.
    void startOnUdp(const std::vector<std::string> &options);
    void stopSimulator() { simulator.reset(); }

    // Opens the item's stream on a file of the world: for writing (what a read
    // fills) or for reading these bytes (what a write sends, size measured).
    void openForRead(DataItem &item, const std::string &name);
    void openForWrite(DataItem &item, const std::string &name, const Bytes &bytes);
    Bytes fileBytes(const std::string &name) const;
    static void writeBytes(const std::filesystem::path &path, const Bytes &bytes);

    // The session messages (channel 5 data frames) that the simulator's trace
    // recorded in one direction, "rx" from the host or "tx" to it, oldest first;
    // repeats and frames the device ignored are left out.
    std::vector<Bytes> sessionMessages(const std::string &direction) const;
    std::vector<Bytes> hostRequests() const { return sessionMessages("rx"); }

    std::filesystem::path root;
    std::filesystem::path dataFolder; // the simulator's item store
    std::filesystem::path traceFile;
    std::unique_ptr<SimulatorProcess> simulator;
    std::unique_ptr<SessionRig> rig;

private:
    void startSimulator(std::vector<std::string> options);

    std::unique_ptr<UserWorld> world_;
};

} // namespace q57::testing
