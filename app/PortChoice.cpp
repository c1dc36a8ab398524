// SPDX-License-Identifier: MIT
#include "app/PortChoice.h"

#include <utility>

namespace q57 {

PortChoice PortChoice::serial(int n)
{
    if (n < 1 || n > SerialPortCount)
        return none();
    PortChoice choice;
    choice.index_ = static_cast<uint8_t>(n - 1);
    return choice;
}

PortChoice PortChoice::udp(std::string address)
{
    PortChoice choice;
    choice.kind_ = Kind::Udp;
    choice.address_ = std::move(address);
    return choice;
}

PortChoice PortChoice::none()
{
    return fromStored(NoneIndex);
}

PortChoice PortChoice::fromStored(uint8_t index)
{
    PortChoice choice;
    choice.index_ = index;
    if (index >= SerialPortCount)
        choice.kind_ = Kind::None;
    return choice;
}

std::optional<PortChoice> PortChoice::fromCommandWord(const std::string &word)
{
    for (int n = 1; n <= SerialPortCount; ++n) {
        const PortChoice choice = serial(n);
        if (word == choice.label() || word == choice.linkPortName())
            return choice;
    }
    return std::nullopt;
}

std::optional<int> PortChoice::serialNumber() const
{
    if (kind_ != Kind::Serial)
        return std::nullopt;
    return index_ + 1;
}

uint8_t PortChoice::storedIndex() const
{
    return kind_ == Kind::Udp ? NoneIndex : index_;
}

std::string PortChoice::label() const
{
    const std::optional<int> number = serialNumber();
    return number ? "COM" + std::to_string(*number) : std::string();
}

std::string PortChoice::linkPortName() const
{
    switch (kind_) {
    case Kind::Serial: return label() + ":";
    case Kind::Udp: return address_;
    case Kind::None: break;
    }
    return "NONE";
}

} // namespace q57
