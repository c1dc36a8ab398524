// SPDX-License-Identifier: MIT
#include "app/PortDescription.h"

#include "app/AppSettings.h"
#include "app/PrintableText.h"
#include "link/include/spp.h"

#include <string_view>
#include <vector>

namespace q57 {

namespace {

std::vector<std::string> remarksOn(const SppPortInfo &info)
{
    std::vector<std::string> remarks;
    if (info.fromPortsFolder != 0)
        remarks.emplace_back("ports folder");
    if (info.present == 0)
        remarks.emplace_back("not present");
    else if (info.permitted == 0)
        remarks.emplace_back("no permission: join the dialout group");
    return remarks;
}

} // namespace

std::string portChoiceText(const std::string &label, const SppPortInfo &info)
{
    std::string text = label + " \u2192 " + printableText(info.devicePath);
    if (info.truncated != 0)
        text += "\u2026";
    const std::vector<std::string> remarks = remarksOn(info);
    for (size_t i = 0; i < remarks.size(); ++i)
        text += (i == 0 ? " (" : ", ") + remarks[i];
    if (!remarks.empty())
        text += ')';
    return text;
}

std::string describePortChoice(int portIndex)
{
    if (portIndex < 0 || portIndex >= AppSettings::NoSerialPort)
        return {};
    const char *portName = AppSettings::PortNames[static_cast<size_t>(portIndex)];
    SppPortInfo info;
    if (sppDescribePort(portName, &info) == 0)
        return {};
    // The menu says "COM1" where the settings keep "COM1:".
    const std::string_view name(portName);
    return portChoiceText(std::string(name.substr(0, name.find(':'))), info);
}

} // namespace q57
