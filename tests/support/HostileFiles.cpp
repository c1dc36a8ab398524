// SPDX-License-Identifier: MIT
#include "tests/support/HostileFiles.h"

#include <sys/stat.h>

#include <fstream>

namespace q57::testing {

std::filesystem::path plantHostile(Hostile kind, const std::filesystem::path &folder, const std::string &name,
                                   std::uintmax_t limit)
{
    const std::filesystem::path path = folder / name;
    switch (kind) {
    case Hostile::Fifo: ::mkfifo(path.c_str(), 0600); break;
    case Hostile::Device: return "/dev/zero";
    case Hostile::LinkToDevice: std::filesystem::create_symlink("/dev/zero", path); break;
    case Hostile::Folder: std::filesystem::create_directory(path); break;
    case Hostile::OverLimit:
        std::ofstream(path, std::ios::binary).close();
        std::filesystem::resize_file(path, limit + 1);
        break;
    }
    return path;
}

} // namespace q57::testing
