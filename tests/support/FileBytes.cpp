// SPDX-License-Identifier: MIT
#include "tests/support/FileBytes.h"

#include <fstream>
#include <iterator>

namespace q57::testing {

std::string readWhole(const std::filesystem::path &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

} // namespace q57::testing
