// SPDX-License-Identifier: MIT
#pragma once
// What a user can name as a file that a reader must refuse at once: tables of
// such cases, for every reader of a user's file, plant them with this.

#include <cstdint>
#include <filesystem>
#include <string>

namespace q57::testing {

enum class Hostile {
    Fifo,         // a FIFO that nobody writes to: an open without O_NONBLOCK never returns
    Device,       // /dev/zero itself: a read that never ends
    LinkToDevice, // a symbolic link to /dev/zero
    Folder,
    OverLimit,    // a (sparse) regular file one byte larger than the limit
};

// Puts `kind` at folder/name and returns the path to give the program (for a
// Device, "/dev/zero" itself).
std::filesystem::path plantHostile(Hostile kind, const std::filesystem::path &folder, const std::string &name,
                                   std::uintmax_t limit);

} // namespace q57::testing
