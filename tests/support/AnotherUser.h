// SPDX-License-Identifier: MIT
#pragma once
// Runs part of a test as another local user. The tests run as root, for whom
// permission bits stop nothing; a child process that has become user and
// group 65534 ("nobody") meets the refusals an ordinary user would.

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace q57::testing {

// The user and group id the child takes.
constexpr uid_t AnotherUserId = 65534;

// Forks a child that drops its supplementary groups, becomes user and group
// AnotherUserId and runs work; the text work returns comes back through a
// pipe. The child ends with _exit, so none of the test program's shutdown
// runs in it; gtest assertions in work would not reach the parent, so work
// reports what it saw and the caller checks it. Needs root; nullopt when the
// child could not be started, could not change its user or did not finish.
std::optional<std::string> runAsAnotherUser(const std::function<std::string()> &work);

// Makes AnotherUserId the owner of tree and of everything in it (links
// themselves, not what they point to), so the child can work there. False
// when one of them could not be changed.
bool handToAnotherUser(const std::filesystem::path &tree);

} // namespace q57::testing
