// SPDX-License-Identifier: MIT
#pragma once
// A scratch folder for one test, removed with everything in it at the end.

#include "tests/support/FileBytes.h"
#include "tests/support/ScratchFolder.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace q57::testing {

class TempDir {
public:
    TempDir() : path_(makeScratchFolder("q57app-test")) {}
    ~TempDir() { std::filesystem::remove_all(path_); }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    // The folder itself, or a name inside it, as a directory string ending in "/".
    std::string dir(const std::string &name = {}) const { return (name.empty() ? path_ : path_ / name).string() + "/"; }
    std::string file(const std::string &name) const { return (path_ / name).string(); }

    // A regular file; a folder below it can never be created.
    std::string plantFile(const std::string &name, const std::string &text = "x") const
    {
        std::ofstream(file(name), std::ios::binary) << text;
        return file(name);
    }

    static std::string read(const std::string &path) { return readWhole(path); }

private:
    std::filesystem::path path_;
};

} // namespace q57::testing
