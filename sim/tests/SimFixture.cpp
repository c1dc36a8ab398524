// SPDX-License-Identifier: MIT
#include "sim/tests/SimFixture.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/ScratchFolder.h"

namespace q57::sim::testing {

Bytes bytesOf(const std::string &text)
{
    return Bytes(text.begin(), text.end());
}

Bytes hex(const std::string &text)
{
    Bytes bytes;
    std::istringstream in(text);
    std::string pair;
    while (in >> pair)
        bytes.push_back(static_cast<uint8_t>(std::stoul(pair, nullptr, 16)));
    return bytes;
}

TempFolder::TempFolder()
{
    path_ = q57::testing::makeScratchFolder("q57sim-test").string();
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void useOwnConfigFolder()
{
    static TempFolder config;
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
}

RunningSim::RunningSim(const SimSetup &setup) : udp_(setup.udp)
{
    std::vector<std::string> arguments = {"--trace", traceFile()};
    if (udp_) {
        arguments.insert(arguments.end(), {"--udp", "127.0.0.2"});
    } else {
        useOwnConfigFolder();
        arguments.insert(arguments.end(), {"--pty", "--as", kTestPort});
    }
    arguments.insert(arguments.end(), setup.extra.begin(), setup.extra.end());
    SimOptions options;
    if (!parseOptions(arguments, options, error_))
        return;
    server_ = std::make_unique<SimServer>(options);
    if (!server_->start(error_))
        return;
    thread_ = std::thread([this] { server_->run(); });
    started_ = true;
}

RunningSim::~RunningSim()
{
    if (started_) {
        server_->stop();
        thread_.join();
    }
}

HostLink::HostLink(const std::string &port)
{
    opened = sppInit(&handle, sizeof handle, port.c_str(), 2) == 1 && sppOpen(&handle) == 1;
}

HostLink::~HostLink()
{
    sppRelease(&handle);
    sppClose(&handle);
}

bool HostLink::send(const Bytes &payload, uint8_t tries)
{
    return sppSend(&handle, 5, payload.data(), static_cast<uint16_t>(payload.size()), tries) == 1;
}

Bytes HostLink::receive(uint16_t timeoutMs)
{
    Bytes payload(128);
    uint16_t length = 0;
    if (sppReceive(&handle, 5, timeoutMs, payload.data(), 128, &length) != 1)
        return {};
    payload.resize(length);
    return payload;
}

Bytes HostLink::handshake()
{
    if (!connect() || !send(hex("DE AD BE EF 02 08")))
        return {};
    return receive();
}

std::vector<TraceLine> readTrace(const std::string &path)
{
    std::vector<TraceLine> lines;
    std::ifstream in(path);
    std::string text;
    while (std::getline(in, text)) {
        std::istringstream words(text);
        std::string stamp, word;
        TraceLine line;
        words >> stamp >> line.direction >> line.protocol >> line.kind;
        while (words >> word) {
            const size_t equals = word.find('=');
            const std::string key = word.substr(0, equals), value = word.substr(equals + 1);
            if (key == "seq")
                line.sequence = value;
            else if (key == "ch")
                line.channel = value;
            else if (key == "body")
                line.body = value;
            else if (key == "wire")
                line.wire = value;
            else if (key == "note")
                line.note = value;
        }
        lines.push_back(line);
    }
    return lines;
}

Bytes readRequest(uint8_t item, const std::string &name)
{
    Bytes request = {0xDE, 0xAD, 0xBE, 0xEF, 0x02, 0x02, item, 0x09, 0xA0, 0x00, static_cast<uint8_t>(name.size())};
    for (char c : name)
        request.push_back(static_cast<uint8_t>(c));
    return request;
}

Bytes writeRequest(uint8_t item, uint32_t total, uint16_t mask)
{
    return {0xDE,
            0xAD,
            0xBE,
            0xEF,
            0x02,
            0x04,
            item,
            0x09,
            static_cast<uint8_t>(mask >> 8),
            static_cast<uint8_t>(mask),
            static_cast<uint8_t>(total >> 24),
            static_cast<uint8_t>(total >> 16),
            static_cast<uint8_t>(total >> 8),
            static_cast<uint8_t>(total)};
}

Bytes chunkRequest(const Bytes &data, size_t offset, size_t count)
{
    Bytes request(count + 2);
    request[0] = 0x05;
    request[1] = static_cast<uint8_t>(count);
    std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(offset), count, request.begin() + 2);
    return request;
}

Bytes endOfData(uint16_t check)
{
    return {0x06, static_cast<uint8_t>(check >> 8), static_cast<uint8_t>(check)};
}

bool writeInOneChunk(HostLink &host, uint8_t item, const Bytes &data, uint16_t check)
{
    return host.send(writeRequest(item, 1), 3) && host.receive().size() == 12 &&
           host.send(chunkRequest(data, 0, data.size()), 3) && host.receive().at(0) == 16 &&
           host.send(endOfData(check), 3);
}

std::vector<Bytes> readExchange(HostLink &host, uint8_t item)
{
    std::vector<Bytes> answers;
    if (!host.send(readRequest(item)))
        return answers;
    for (;;) {
        Bytes answer = host.receive();
        if (answer.empty())
            return answers;
        answers.push_back(answer);
        if (answer[0] == 13 || answer[0] == 17)
            return answers;
    }
}

} // namespace q57::sim::testing
