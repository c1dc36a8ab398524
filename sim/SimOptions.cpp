// SPDX-License-Identifier: MIT
#include "sim/SimOptions.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <string_view>

namespace q57::sim {
namespace {

// Decimal, or hexadecimal with 0x; the whole text must be the number.
bool parseNumber(const std::string &text, uint64_t maximum, uint64_t &value)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return false;
    char *end = nullptr;
    const int base = text.size() > 2 && (text[1] == 'x' || text[1] == 'X') && text[0] == '0' ? 16 : 10;
    errno = 0;
    const unsigned long long parsed = std::strtoull(text.c_str(), &end, base);
    if (errno != 0 || *end != '\0' || parsed > maximum)
        return false;
    value = parsed;
    return true;
}

struct Option {
    const char *name;
    bool takesValue;
    // Applies the value; false when it is not acceptable.
    std::function<bool(SimOptions &, const std::string &)> apply;
};

template <typename Field>
std::function<bool(SimOptions &, const std::string &)> number(Field SimOptions::*field, uint64_t minimum,
                                                              uint64_t maximum)
{
    return [=](SimOptions &options, const std::string &text) {
        uint64_t value = 0;
        if (!parseNumber(text, maximum, value) || value < minimum)
            return false;
        options.*field = static_cast<Field>(value);
        return true;
    };
}

template <typename Field>
std::function<bool(SimOptions &, const std::string &)> deviceNumber(Field DeviceSettings::*field, uint64_t minimum,
                                                                    uint64_t maximum)
{
    return [=](SimOptions &options, const std::string &text) {
        uint64_t value = 0;
        if (!parseNumber(text, maximum, value) || value < minimum)
            return false;
        options.device.*field = static_cast<Field>(value);
        return true;
    };
}

template <typename Field>
std::function<bool(SimOptions &, const std::string &)> faultNumber(Field FaultPlan::*field, uint64_t minimum,
                                                                   bool FaultPlan::*set = nullptr)
{
    return [=](SimOptions &options, const std::string &text) {
        uint64_t value = 0;
        if (!parseNumber(text, UINT32_MAX, value) || value < minimum)
            return false;
        options.faults.*field = static_cast<Field>(value);
        if (set != nullptr)
            options.faults.*set = true;
        return true;
    };
}

std::function<bool(SimOptions &, const std::string &)> faultFlag(bool FaultPlan::*field)
{
    return [=](SimOptions &options, const std::string &) {
        options.faults.*field = true;
        return true;
    };
}

const std::vector<Option> &optionTable()
{
    static const std::vector<Option> table = {
        {"--help", false, [](SimOptions &o, const std::string &) { return o.help = true; }},
        {"--version", false, [](SimOptions &o, const std::string &) { return o.version = true; }},
        {"--pty", false,
         [](SimOptions &o, const std::string &) {
             o.transport = TransportKind::Pty;
             return true;
         }},
        {"--as", true,
         [](SimOptions &o, const std::string &v) {
             o.portAlias = v;
             return !v.empty() && v.find('/') == std::string::npos && v != "." && v != "..";
         }},
        {"--udp", true,
         [](SimOptions &o, const std::string &v) {
             o.transport = TransportKind::Udp;
             o.udpAddress = v;
             return !v.empty();
         }},
        {"--protocol", true,
         [](SimOptions &o, const std::string &v) {
             if (v != "v3" && v != "v4")
                 return false;
             o.device.protocol = v == "v3" ? 3 : 4;
             return true;
         }},
        {"--level", true, deviceNumber(&DeviceSettings::level, 0, 15)},
        {"--mode", true, deviceNumber(&DeviceSettings::mode, 0, 255)},
        {"--capacity", true, deviceNumber(&DeviceSettings::capacity, 0, 384)},
        {"--supported-selections", true, deviceNumber(&DeviceSettings::supportedSelections, 0, 255)},
        {"--quicktext-capacity", true, deviceNumber(&DeviceSettings::quicktextCapacity, 0, 1000)},
        {"--memory", true, deviceNumber(&DeviceSettings::memory, 0, UINT32_MAX)},
        {"--data", true,
         [](SimOptions &o, const std::string &v) {
             o.dataFolder = v;
             return !v.empty();
         }},
        {"--sample", true,
         [](SimOptions &o, const std::string &v) {
             if (v != "small" && v != "large")
                 return false;
             o.sample = v == "small" ? SampleSize::Small : SampleSize::Large;
             return true;
         }},
        {"--baud", true, number(&SimOptions::baud, 300, 4000000)},
        {"--trace", true,
         [](SimOptions &o, const std::string &v) {
             o.traceFile = v;
             return !v.empty();
         }},
        {"--drop-ack-every", true, faultNumber(&FaultPlan::dropAckEvery, 1)},
        {"--garbage-between-frames", false, faultFlag(&FaultPlan::garbageBetweenFrames)},
        {"--corrupt-every", true, faultNumber(&FaultPlan::corruptEvery, 1)},
        {"--silent-after", true, faultNumber(&FaultPlan::silentAfter, 0, &FaultPlan::silentAfterSet)},
        {"--refuse-write", false, faultFlag(&FaultPlan::refuseWrite)},
        {"--out-of-memory-after", true, faultNumber(&FaultPlan::outOfMemoryAfter, 0, &FaultPlan::outOfMemoryAfterSet)},
        {"--wrong-read-check", false, faultFlag(&FaultPlan::wrongReadCheck)},
        {"--short-write-offset", true, faultNumber(&FaultPlan::shortWriteOffset, 1)},
        {"--no-final-answer", false, faultFlag(&FaultPlan::noFinalAnswer)},
        {"--short-read", false, faultFlag(&FaultPlan::shortRead)},
        {"--long-read-chunks", false, faultFlag(&FaultPlan::longReadChunks)},
        {"--stuck-write-offset", false, faultFlag(&FaultPlan::stuckWriteOffset)},
        {"--long-write-offset", true, faultNumber(&FaultPlan::longWriteOffset, 1)},
    };
    return table;
}

const Option *findOption(std::string_view name)
{
    for (const Option &option : optionTable())
        if (name == option.name)
            return &option;
    return nullptr;
}

bool checkCombination(const SimOptions &options, std::string &error)
{
    if (options.help || options.version)
        return true;
    if (options.transport == TransportKind::None)
        error = "choose a transport: --pty or --udp ADDRESS";
    else if (!options.portAlias.empty() && options.transport != TransportKind::Pty)
        error = "--as names the pseudo-terminal and needs --pty";
    else if (options.device.protocol == 3 && options.transport == TransportKind::Udp)
        error = "protocol v3 exists on the serial line only: use --pty";
    return error.empty();
}

} // namespace

bool parseOptions(const std::vector<std::string> &arguments, SimOptions &options, std::string &error)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::string value;
        const size_t equals = name.find('=');
        const bool inlineValue = equals != std::string::npos;
        if (inlineValue) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        const Option *option = findOption(name);
        if (option == nullptr) {
            error = "unknown option " + name;
            return false;
        }
        if (option->takesValue && !inlineValue) {
            if (i + 1 == arguments.size()) {
                error = name + " needs a value";
                return false;
            }
            value = arguments[++i];
        } else if (!option->takesValue && inlineValue) {
            error = name + " takes no value";
            return false;
        }
        if (!option->apply(options, value)) {
            error = "bad value for " + name + ": " + value;
            return false;
        }
    }
    return checkCombination(options, error);
}

const char *usageText()
{
    return R"(Usage: q57sim (--pty [--as COMn] | --udp ADDRESS) [options]

Plays the Q57 device on one end of a link.

Transport:
  --pty                      create a pseudo-terminal; its path is the first line of output
  --as COMn                  also link ${XDG_CONFIG_HOME:-$HOME/.config}/Zantherix/ports/comn to it
  --udp ADDRESS              serve on ADDRESS:47999 (for example 127.0.0.2)
  A line "ready" follows once the device serves.

Device:
  --protocol v4|v3           frame protocol (default v4; v3 needs the 130-byte wake-up)
  --level N                  protocol level in framed answers (default 2)
  --mode N                   device mode at start (default 4; anything else needs a switch)
  --capacity N               address book contacts (default 384, at most 384)
  --supported-selections M   mask of address selections the device offers (default 0xFF)
  --quicktext-capacity N     quicktext entries (default 20)
  --memory BYTES             room for a write (default 1048576)
  --data DIR                 keep the items as files in DIR (see sim/README.md)
  --sample small|large       built-in sample contents when --data is not given (default small)
  --baud B                   emulate a serial line of B baud, 10 bits a byte (default: no pacing)
  --trace FILE               write every frame to FILE ("-" for standard error)

Faults:
  --drop-ack-every N         do not acknowledge every Nth host frame that needs it
  --garbage-between-frames   send 4 stray bytes in front of every frame
  --corrupt-every N          damage one byte of every Nth frame sent
  --silent-after N           send nothing more after N bytes
  --refuse-write             answer every write request with 17 (refused)
  --out-of-memory-after N    answer chunk N+1 of every write with 17 (out of memory)
  --wrong-read-check         send a wrong check value in the read end
  --short-write-offset N     report N bytes fewer than taken after the first chunk of a write
  --no-final-answer          never answer the end of an address book write
  --short-read               leave out the last chunk of a read, but count it in the read end
  --long-read-chunks         send one byte more in every read chunk than its count byte says
  --stuck-write-offset       take nothing after the first chunk of a write, repeating its answer
  --long-write-offset N      report N bytes more than taken after the first chunk of a write

  --help                     this text
  --version                  the program's version
)";
}

} // namespace q57::sim
