// SPDX-License-Identifier: MIT
// Requests laid out byte for byte, and responses decoded or refused, as the
// device sees and sends them on channel 5.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ScriptedInteraction.h"
#include "session/SessionEnvelope.h"

namespace q57 {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes build(RequestCode code, const RequestFields &fields = {})
{
    SessionBuffer buffer{};
    const size_t length = buildRequest(buffer, code, fields);
    return Bytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(length));
}

TEST(BuildRequest, LaysOutEveryRequest)
{
    RequestFields alternate;
    alternate.level = kAlternateRequestLevel;
    RequestFields read;
    read.itemId = 3;
    read.selectionMask = 0x8800;
    RequestFields write;
    write.itemId = 4;
    write.selectionMask = 0x0400;
    write.total = 0x01020304;
    RequestFields end;
    end.checkValue = 0xA847;

    struct Case {
        const char *name;
        RequestCode code;
        RequestFields fields;
        Bytes expected;
    };
    const std::vector<Case> cases = {
        {"mode query", ModeQueryRequest, {}, {0xDE, 0xAD, 0xBE, 0xEF, 0x02, 0x08}},
        {"mode query, alternate level", ModeQueryRequest, alternate, {0xDE, 0xAD, 0xBE, 0xEF, 0x03, 0x08}},
        {"mode switch to 4", ModeSwitchRequest, {}, {0xDE, 0xAD, 0xBE, 0xEF, 0x02, 0x01, 0x04}},
        {"read memos during a backup",
         ReadItemRequest,
         read,
         {0xDE, 0xAD, 0xBE, 0xEF, 0x02, 0x02, 0x03, 0x09, 0x88, 0x00, 0x00}},
        {"write quicktext",
         WriteItemRequest,
         write,
         {0xDE, 0xAD, 0xBE, 0xEF, 0x02, 0x04, 0x04, 0x09, 0x04, 0x00, 0x01, 0x02, 0x03, 0x04}},
        {"end of data", EndOfDataRequest, end, {0x06, 0xA8, 0x47}},
        {"abort read", AbortReadRequest, {}, {0x03}},
        {"abort write", AbortWriteRequest, {}, {0x07}},
        {"cancel write", CancelWriteRequest, {}, {0x11}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(build(c.code, c.fields), c.expected) << c.name;
}

TEST(BuildRequest, ReadRequestCarriesTheDeviceFileNameUpToSixteenBytes)
{
    RequestFields fields;
    fields.itemId = 6;
    fields.deviceFileName = "notes.txt";
    Bytes expected = {0xDE, 0xAD, 0xBE, 0xEF, 0x02, 0x02, 0x06, 0x09, 0x00, 0x00, 9};
    expected.insert(expected.end(), fields.deviceFileName.begin(), fields.deviceFileName.end());
    EXPECT_EQ(build(ReadItemRequest, fields), expected);

    fields.deviceFileName = "abcdefghijklmnopqrstuvwxyz";
    const Bytes longName = build(ReadItemRequest, fields);
    ASSERT_EQ(longName.size(), 11u + kMaxDeviceFileName);
    EXPECT_EQ(longName[10], kMaxDeviceFileName);
    EXPECT_EQ(std::string(longName.begin() + 11, longName.end()), "abcdefghijklmnop");
}

TEST(BuildRequest, DataChunkHoldsAtMost126Bytes)
{
    std::vector<uint8_t> data(200);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i);
    RequestFields fields;
    fields.data = data.data();

    fields.dataLength = 3;
    EXPECT_EQ(build(DataChunkRequest, fields), (Bytes{0x05, 3, 0, 1, 2}));

    fields.dataLength = data.size();
    const Bytes full = build(DataChunkRequest, fields);
    ASSERT_EQ(full.size(), kSessionBufferSize);
    EXPECT_EQ(full[1], kMaxChunkData);
    EXPECT_EQ(full.back(), 125);

    fields.dataLength = 0;
    EXPECT_EQ(build(DataChunkRequest, fields), (Bytes{0x05, 0}));
}

TEST(BuildRequest, RefusesCodesThatAreNoRequest)
{
    for (uint8_t code : {0, 9, 10, 11, 16, 18, 255})
        EXPECT_TRUE(build(static_cast<RequestCode>(code)).empty()) << int(code);
}

struct ResponseCase {
    const char *name;
    Bytes bytes;
    uint8_t code;
    uint32_t value;
    std::optional<bool> levelTwo;
};

TEST(ParseResponse, DecodesOrRefusesEachResponse)
{
    const std::vector<ResponseCase> cases = {
        // Framed responses: magic, level, code, fields.
        {"mode report, level 3", {0xDE, 0xAD, 0xBE, 0xEF, 3, 19, 4}, 19, 4, false},
        {"mode report, level 2", {0xDE, 0xAD, 0xBE, 0xEF, 2, 19, 2}, 19, 2, true},
        {"mode report without its mode", {0xDE, 0xAD, 0xBE, 0xEF, 2, 19}, 0, 0, true},
        {"read start", {0xDE, 0xAD, 0xBE, 0xEF, 2, 11, 0, 0, 0x04, 0xEC}, 11, 1260, true},
        {"read start with capacity", {0xDE, 0xAD, 0xBE, 0xEF, 3, 11, 0, 0, 0, 4, 0x01, 0xF4}, 11, 4, false},
        {"read start one byte short", {0xDE, 0xAD, 0xBE, 0xEF, 2, 11, 0, 0, 4}, 0, 0, true},
        {"write accepted", {0xDE, 0xAD, 0xBE, 0xEF, 2, 15, 0x12, 0x34, 0x56, 0x78, 1, 0xFF}, 15, 0x12345678, true},
        {"write accepted one byte short", {0xDE, 0xAD, 0xBE, 0xEF, 2, 15, 0, 0, 0}, 0, 0, true},
        {"framed code 10", {0xDE, 0xAD, 0xBE, 0xEF, 2, 10, 0, 0, 0, 0}, 0, 0, true},
        {"framed short code 12", {0xDE, 0xAD, 0xBE, 0xEF, 2, 12, 1, 0}, 0, 0, true},
        {"five framed bytes", {0xDE, 0xAD, 0xBE, 0xEF, 2}, 0, 0, std::nullopt},
        // Short responses: code first.
        {"data chunk", {12, 3, 'a', 'b', 'c'}, 12, 3, std::nullopt},
        {"data chunk without its count", {12}, 0, 0, std::nullopt},
        {"read end", {13, 0, 0, 0, 3, 0x6A, 0x4B}, 13, 3, std::nullopt},
        {"read end without check value", {13, 0, 0, 1, 0}, 13, 256, std::nullopt},
        {"read end too short", {13, 0, 0, 1}, 0, 0, std::nullopt},
        {"write progress", {16, 0, 0, 0, 100}, 16, 100, std::nullopt},
        {"write progress too short", {16, 0, 0, 0}, 0, 0, std::nullopt},
        {"refused", {17}, 17, 0, std::nullopt},
        {"code 14", {14}, 14, 0, std::nullopt},
        {"code 18", {18, 1, 2}, 18, 0, std::nullopt},
        {"short write accepted", {15, 0, 0, 0, 1}, 0, 0, std::nullopt},
        {"short mode report", {19, 4}, 0, 0, std::nullopt},
        {"code 20", {20}, 0, 0, std::nullopt},
        {"four bytes of magic only", {0xDE, 0xAD, 0xBE, 0xEF}, 0, 0, std::nullopt},
        {"nothing", {}, 0, 0, std::nullopt},
    };
    for (const ResponseCase &c : cases) {
        ScriptedInteraction ui;
        const SessionResponse response = parseResponse(c.bytes.data(), c.bytes.size(), ui);
        EXPECT_EQ(response.code, c.code) << c.name;
        EXPECT_EQ(response.value, c.value) << c.name;
        EXPECT_EQ(response.levelTwo, c.levelTwo) << c.name;
        EXPECT_TRUE(ui.messages().empty()) << c.name;
    }
}

TEST(ParseResponse, DeviceLevelsOutsideTwoAndThreeAreIncompatible)
{
    const std::string upgradeDevice =
        "This version of Q57 Backup (1.02) is incompatible with your device. The device must be upgraded.";
    const std::string upgradeProgram = "This version of Q57 Backup (1.02) is incompatible with your device. "
                                       "Please upgrade your Q57 Backup software.";
    struct Case {
        uint8_t level;
        std::string message;
    };
    for (const Case &c :
         {Case{0, upgradeDevice}, Case{1, upgradeDevice}, Case{4, upgradeProgram}, Case{255, upgradeProgram}}) {
        ScriptedInteraction ui;
        const Bytes bytes = {0xDE, 0xAD, 0xBE, 0xEF, c.level, 19, 4};
        const SessionResponse response = parseResponse(bytes.data(), bytes.size(), ui);
        EXPECT_EQ(response.code, InvalidResponse) << int(c.level);
        EXPECT_EQ(response.levelTwo, std::optional<bool>(false)) << int(c.level);
        EXPECT_EQ(ui.messages(), std::vector<std::string>{c.message}) << int(c.level);
    }
}

} // namespace
} // namespace q57
