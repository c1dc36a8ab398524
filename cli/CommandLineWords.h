// SPDX-License-Identifier: MIT
#pragma once
// What every command does with the words it was given: paths taken as the
// user means them, and refusals shown without letting the user's bytes drive
// the terminal.

#include <string>

namespace q57::cli {

// A relative path names a file in the current directory, as a shell user means it.
std::string fullPath(const std::string &path);
// Why a command line is refused, on standard error (the words come from the user).
void refuse(const std::string &reason);

} // namespace q57::cli
