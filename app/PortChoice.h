// SPDX-License-Identifier: MIT
#pragma once
// PortChoice: where the link reaches the device, as one value from the edge
// that chose it to the call that sets up the link:
//  - serial(n): COM1 to COM8 (n 1 to 8), as the menu and "--port" name them;
//  - udp(address): the device over UDP at an IPv4 address, "--udp" of one run;
//  - none: "NONE", the UDP link with the link library's own default address.
// The settings keep the choice as an index ("port": 0 to 7 for COM1 to COM8,
// 8 for "NONE"); any other stored number also means "NONE" and is kept as it
// was read, so that saving a choice nobody changed writes back the same number.

#include <cstdint>
#include <optional>
#include <string>

namespace q57 {

class PortChoice {
public:
    static constexpr int SerialPortCount = 8;
    static constexpr uint8_t NoneIndex = 8; // the stored index of "NONE"

    // COM1 until the settings say otherwise.
    PortChoice() = default;
    // n from 1 to SerialPortCount; any other n is "NONE".
    static PortChoice serial(int n);
    static PortChoice udp(std::string address);
    static PortChoice none();

    // The settings' "port": 0 to 7 are COM1 to COM8, anything else "NONE".
    static PortChoice fromStored(uint8_t index);
    // A command-line word: "COM1" to "COM8", with or without the colon the
    // link's name has, in capitals; nothing for any other word, "NONE"
    // included (it is not a serial port).
    static std::optional<PortChoice> fromCommandWord(const std::string &word);

    // The serial port's number, 1 to 8; nothing for UDP and "NONE".
    std::optional<int> serialNumber() const;
    // What the settings keep: the serial port's index, the number read for a
    // "NONE" from the settings, NoneIndex otherwise (a UDP address is never kept).
    uint8_t storedIndex() const;
    // "COM1" to "COM8", as the menu and the messages name a serial port;
    // empty for UDP and "NONE".
    std::string label() const;
    // The port text the link library's sppInit takes: "COM1:" to "COM8:",
    // "NONE", or the UDP address.
    std::string linkPortName() const;

    bool operator==(const PortChoice &) const = default;

private:
    enum class Kind : uint8_t { Serial, Udp, None };

    Kind kind_ = Kind::Serial;
    uint8_t index_ = 0; // the serial index, or the stored number of "NONE"
    std::string address_;
};

} // namespace q57
