// SPDX-License-Identifier: MIT
#include "tests/support/ScratchFolder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace q57::testing {

namespace {

// Many tests point TMPDIR into their own scratch world, which is gone after
// the test; later folders still belong where the suite was started to put them.
const std::string &scratchBase()
{
    static const std::string base = [] {
        const char *given = std::getenv("TMPDIR");
        return std::string(given != nullptr && *given != '\0' ? given : "/tmp");
    }();
    return base;
}

} // namespace

std::filesystem::path makeScratchFolder(const char *prefix)
{
    std::string pattern = scratchBase() + "/" + prefix + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        std::fprintf(stderr, "cannot make a scratch folder %s: %s\n", pattern.c_str(), std::strerror(errno));
        std::abort();
    }
    return std::filesystem::path(buffer.data());
}

} // namespace q57::testing
