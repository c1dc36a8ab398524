// SPDX-License-Identifier: MIT
#include "app/PortDescription.h"

#include "app/PrintableText.h"
#include "link/include/spp.h"

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

std::string describePortChoice(const PortChoice &choice)
{
    if (!choice.serialNumber())
        return {};
    SppPortInfo info;
    if (sppDescribePort(choice.linkPortName().c_str(), &info) == 0)
        return {};
    return portChoiceText(choice.label(), info);
}

} // namespace q57
