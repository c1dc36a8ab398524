// SPDX-License-Identifier: MIT
// The port choice from each edge that makes one (the settings' index, a
// command-line word, the menu's serial ports, "--udp") to the text the link's
// sppInit is given, and back to the index the settings keep.

#include "app/PortChoice.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace q57 {
namespace {

struct Expected {
    std::optional<int> serialNumber;
    std::string label;
    std::string linkPortName;
    int storedIndex;
};

void expectChoice(const PortChoice &choice, const Expected &expected)
{
    EXPECT_EQ(choice.serialNumber(), expected.serialNumber);
    EXPECT_EQ(choice.label(), expected.label);
    EXPECT_EQ(choice.linkPortName(), expected.linkPortName);
    EXPECT_EQ(choice.storedIndex(), expected.storedIndex);
}

TEST(PortChoice, FromTheStoredIndex)
{
    const struct {
        int stored;
        Expected expected;
    } cases[] = {
        {0, {1, "COM1", "COM1:", 0}},
        {3, {4, "COM4", "COM4:", 3}},
        {7, {8, "COM8", "COM8:", 7}},
        // "NONE": the UDP link with its default address; a number past the
        // table means the same and is kept as it was read.
        {8, {std::nullopt, "", "NONE", 8}},
        {9, {std::nullopt, "", "NONE", 9}},
        {200, {std::nullopt, "", "NONE", 200}},
        {255, {std::nullopt, "", "NONE", 255}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored);
        expectChoice(PortChoice::fromStored(static_cast<uint8_t>(c.stored)), c.expected);
    }
    EXPECT_EQ(PortChoice(), PortChoice::fromStored(0)) << "COM1 until the settings say otherwise";
    EXPECT_EQ(PortChoice::fromStored(8), PortChoice::none());
    EXPECT_NE(PortChoice::fromStored(9), PortChoice::none()) << "the number read is kept";
}

TEST(PortChoice, SerialPortsAndUdp)
{
    const struct {
        const char *name;
        PortChoice choice;
        Expected expected;
    } cases[] = {
        {"serial(1)", PortChoice::serial(1), {1, "COM1", "COM1:", 0}},
        {"serial(8)", PortChoice::serial(8), {8, "COM8", "COM8:", 7}},
        {"serial(0)", PortChoice::serial(0), {std::nullopt, "", "NONE", 8}},
        {"serial(9)", PortChoice::serial(9), {std::nullopt, "", "NONE", 8}},
        {"none()", PortChoice::none(), {std::nullopt, "", "NONE", 8}},
        // "--udp" is for one run: were it ever saved, the UDP link it names is "NONE".
        {"udp", PortChoice::udp("127.0.0.2"), {std::nullopt, "", "127.0.0.2", 8}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        expectChoice(c.choice, c.expected);
    }
    EXPECT_NE(PortChoice::udp("127.0.0.2"), PortChoice::udp("127.0.0.3"));
    EXPECT_NE(PortChoice::udp("127.0.0.2"), PortChoice::none());
}

// "--port" takes COM1 to COM8, with or without the colon, in capitals.
TEST(PortChoice, FromACommandLineWord)
{
    const struct {
        const char *word;
        std::optional<int> serialNumber;
    } cases[] = {
        {"COM1", 1},
        {"COM1:", 1},
        {"COM8", 8},
        {"COM8:", 8},
        {"COM9", std::nullopt},
        {"COM9:", std::nullopt},
        {"COM0", std::nullopt},
        {"COM1::", std::nullopt},
        {":", std::nullopt},
        {"", std::nullopt},
        {"NONE", std::nullopt},
        {"NONE:", std::nullopt},
        {"com1", std::nullopt},
        {"Com1:", std::nullopt},
        {" COM1", std::nullopt},
        {"COM10", std::nullopt},
        {"127.0.0.2", std::nullopt},
    };
    for (const auto &c : cases) {
        const std::optional<PortChoice> choice = PortChoice::fromCommandWord(c.word);
        ASSERT_EQ(choice.has_value(), c.serialNumber.has_value()) << c.word;
        if (choice) {
            EXPECT_EQ(*choice, PortChoice::serial(*c.serialNumber)) << c.word;
        }
    }
}

} // namespace
} // namespace q57
