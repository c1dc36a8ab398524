// SPDX-License-Identifier: MIT
#include "tests/support/UserWorld.h"

#include "tests/support/ScratchFolder.h"

#include <cstdlib>

namespace q57::testing {

namespace {

struct Place {
    const char *variable;
    const char *folder; // below the world's root; nullptr: unset while the world lives
};

// Without a runtime folder the program keeps its job lock in the settings
// folder, inside the world, not in the runtime folder of the one running the tests.
constexpr Place kPlaces[] = {{"HOME", "home"},
                             {"XDG_CONFIG_HOME", "config"},
                             {"XDG_CONFIG_DIRS", "etc"},
                             {"TMPDIR", "tmp"},
                             {"XDG_RUNTIME_DIR", nullptr}};

} // namespace

UserWorld::UserWorld(const char *prefix) : root_(makeScratchFolder(prefix))
{
    for (const Place &place : kPlaces) {
        const char *before = std::getenv(place.variable);
        saved_.emplace_back(place.variable, before != nullptr ? std::optional<std::string>(before) : std::nullopt);
        if (place.folder == nullptr) {
            unsetenv(place.variable);
            continue;
        }
        std::filesystem::create_directories(root_ / place.folder);
        setenv(place.variable, (root_ / place.folder).c_str(), 1);
    }
}

UserWorld::~UserWorld()
{
    for (const auto &[variable, value] : saved_) {
        if (value)
            setenv(variable, value->c_str(), 1);
        else
            unsetenv(variable);
    }
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

} // namespace q57::testing
