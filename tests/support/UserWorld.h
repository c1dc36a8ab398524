// SPDX-License-Identifier: MIT
#pragma once
// A private "user world" for one test: a fresh scratch folder whose home,
// config, etc and tmp folders HOME, XDG_CONFIG_HOME, XDG_CONFIG_DIRS and TMPDIR
// point at while it lives, with XDG_RUNTIME_DIR unset, so the program's
// settings, data folder, ports folder, working files and job lock stay inside
// it. The destructor puts each of those variables back as it was (set or
// unset) and removes the folder: a later test finds the environment the suite
// was started with.

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace q57::testing {

class UserWorld {
public:
    // The folder is "<TMPDIR or /tmp>/<prefix>-XXXXXX" (makeScratchFolder).
    explicit UserWorld(const char *prefix);
    ~UserWorld();
    UserWorld(const UserWorld &) = delete;
    UserWorld &operator=(const UserWorld &) = delete;

    const std::filesystem::path &root() const { return root_; }

private:
    std::filesystem::path root_;
    std::vector<std::pair<const char *, std::optional<std::string>>> saved_;
};

} // namespace q57::testing
