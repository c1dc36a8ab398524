// SPDX-License-Identifier: MIT
#pragma once
// A whole file's bytes, for tests that compare what a program wrote.

#include <filesystem>
#include <string>

namespace q57::testing {

// The file's bytes as they are on disk; empty when it cannot be read.
std::string readWhole(const std::filesystem::path &path);

} // namespace q57::testing
