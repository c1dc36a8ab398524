// SPDX-License-Identifier: MIT
#include "SessionWorld.h"

#include <fstream>
#include <sstream>

#include "tests/support/FileBytes.h"

namespace q57::testing {

SessionRig::SessionRig(const std::filesystem::path &root)
    : catalogue(settings, settings.runtime.jobFlags, ui, settings.runtime.statusLog),
      formats(settings.runtime.statusLog, ui, catalogue.item(AddressBook), catalogue.item(Quicktext)),
      session(settings, catalogue, formats, ui), logPath((root / "statusLog.txt").string())
{
    settings.preparePaths();
    settings.loadSettings();
    catalogue.buildCatalogue();
    settings.seededFromMachine = false;
    settings.runtime.statusLog.openAt(logPath);
    // Keep the tests quick where a device stays silent on purpose.
    SessionTiming timing;
    timing.openRetryPause = 20;
    timing.modeReportWait = 2000;
    timing.readResponseWait = 2000;
    timing.writeAcceptWait = 2000;
    timing.writeProgressWait = 2000;
    timing.clearAcceptWait = 2000;
    timing.rebuildWait = 2000;
    session.setTiming(timing);
}

std::string SessionRig::logText() const
{
    return readWhole(logPath);
}

void SessionWorld::SetUp()
{
    world_ = std::make_unique<UserWorld>("q57session-test");
    root = world_->root();
    dataFolder = root / "device";
    std::filesystem::create_directories(dataFolder);
    traceFile = root / "trace.txt";
}

void SessionWorld::TearDown()
{
    rig.reset();
    simulator.reset();
    world_.reset();
}

void SessionWorld::startSimulator(std::vector<std::string> options)
{
    rig.reset();
    simulator = std::make_unique<SimulatorProcess>();
    options.insert(options.end(), {"--data", dataFolder.string(), "--trace", traceFile.string()});
    // A simulator that does not start fails the test; the rig still exists, so
    // the test goes on to fail on its exchanges instead of crashing.
    EXPECT_TRUE(simulator->start(options)) << simulator->error();
    rig = std::make_unique<SessionRig>(root);
}

void SessionWorld::startOnPty(const std::vector<std::string> &options)
{
    std::vector<std::string> all{"--pty", "--as", "COM1"};
    all.insert(all.end(), options.begin(), options.end());
    startSimulator(all);
    rig->settings.stored.port = PortChoice::serial(1);
}

void SessionWorld::startOnUdp(const std::vector<std::string> &options)
{
    std::vector<std::string> all{"--udp", "127.0.0.2"};
    all.insert(all.end(), options.begin(), options.end());
    startSimulator(all);
    rig->session.setPortOverride(PortChoice::udp("127.0.0.2"));
}

void SessionWorld::openForRead(DataItem &item, const std::string &name)
{
    item.stream.open(root / name, std::ios::out | std::ios::trunc | std::ios::binary);
    ASSERT_TRUE(item.stream.is_open()) << name;
}

void SessionWorld::openForWrite(DataItem &item, const std::string &name, const Bytes &bytes)
{
    writeBytes(root / name, bytes);
    item.stream.open(root / name, std::ios::in | std::ios::binary);
    ASSERT_TRUE(item.stream.is_open()) << name;
    item.selected = true;
    item.measureSize();
}

Bytes SessionWorld::fileBytes(const std::string &name) const
{
    const std::string bytes = readWhole(root / name);
    return Bytes(bytes.begin(), bytes.end());
}

void SessionWorld::writeBytes(const std::filesystem::path &path, const Bytes &bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<Bytes> SessionWorld::sessionMessages(const std::string &direction) const
{
    std::vector<Bytes> messages;
    std::ifstream trace(traceFile);
    std::string line;
    while (std::getline(trace, line)) {
        std::istringstream words(line);
        std::string time, way, protocol, kind, sequence, channel, body;
        words >> time >> way >> protocol >> kind >> sequence >> channel >> body;
        if (way != direction || kind != "data" || channel != "ch=5" || body.rfind("body=", 0) != 0)
            continue;
        const bool skipped =
            line.find(" note=repeat") != std::string::npos || line.find(" note=ignored") != std::string::npos ||
            line.find(" note=unconnected") != std::string::npos || line.find(" note=asleep") != std::string::npos;
        if (skipped)
            continue;
        Bytes payload;
        for (size_t i = 5; i + 1 < body.size(); i += 2)
            payload.push_back(static_cast<uint8_t>(std::stoi(body.substr(i, 2), nullptr, 16)));
        messages.push_back(payload);
    }
    return messages;
}

Bytes hexBytes(std::string hex)
{
    std::erase(hex, ' ');
    Bytes bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

Bytes patternBytes(size_t count, uint8_t seed)
{
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(seed + i * 7 + (i >> 8));
    return bytes;
}

Bytes textBytes(const std::string &text)
{
    return Bytes(text.begin(), text.end());
}

std::vector<int> progressOf(const ScriptedInteraction &ui, int bar)
{
    std::vector<int> percents;
    for (const auto &[notedBar, percent] : ui.progressNotices()) {
        EXPECT_EQ(notedBar, bar);
        percents.push_back(percent);
    }
    return percents;
}

} // namespace q57::testing
