// SPDX-License-Identifier: MIT
// The names "--port" takes: COM1 to COM8, with or without the colon.

#include "cli/SerialPortName.h"

#include <gtest/gtest.h>

namespace q57::cli {
namespace {

TEST(SerialPortName, ComOneToEightWithOrWithoutTheColon)
{
    const struct {
        const char *name;
        std::optional<int> index;
    } cases[] = {
        {"COM1", 0},
        {"COM1:", 0},
        {"COM8", 7},
        {"COM8:", 7},
        {"COM9", std::nullopt},
        {"COM9:", std::nullopt},
        {"COM0", std::nullopt},
        {"COM1::", std::nullopt},
        {":", std::nullopt},
        {"", std::nullopt},
        {"NONE", std::nullopt},
        {"NONE:", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(serialPortIndex(c.name), c.index) << c.name;
}

} // namespace
} // namespace q57::cli
