// SPDX-License-Identifier: MIT
#pragma once
// A fixture whose ports folder is a fresh scratch folder: XDG_CONFIG_HOME
// points at it for the length of each test, so the port names resolve inside.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/ScratchFolder.h"

namespace spp::testing {

class PortsFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        home = q57::testing::makeScratchFolder("spp-ports-test").string();
        setenv("XDG_CONFIG_HOME", home.c_str(), 1);
        ports = home + "/Zantherix/ports/";
        std::filesystem::create_directories(ports);
    }
    void TearDown() override { std::filesystem::remove_all(home); }
    std::string home;
    std::string ports; // ends in "/"
};

} // namespace spp::testing
