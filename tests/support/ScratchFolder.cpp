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

void pointUserFoldersAt(const std::filesystem::path &root)
{
    const struct {
        const char *variable;
        const char *folder;
    } places[] = {{"HOME", "home"}, {"XDG_CONFIG_HOME", "config"}, {"XDG_CONFIG_DIRS", "etc"}, {"TMPDIR", "tmp"}};
    for (const auto &place : places) {
        std::filesystem::create_directories(root / place.folder);
        setenv(place.variable, (root / place.folder).c_str(), 1);
    }
    // Without a runtime folder the program keeps its job lock in the settings
    // folder, inside `root`, not in the runtime folder of the one running the tests.
    unsetenv("XDG_RUNTIME_DIR");
}

} // namespace q57::testing
