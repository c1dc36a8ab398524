// SPDX-License-Identifier: MIT
#pragma once
// The directory rules every part of the program follows: a directory string
// always ends in "/", so file names are appended to it directly.

#include <string>

namespace q57 {

// The start value of every directory: the current directory.
inline constexpr const char *CurrentDirectory = "./";
// The folder the program keeps its files in, below a chosen documents folder.
inline constexpr const char *MakerFolderName = "Zantherix";

// `path` with exactly one "/" at its end (an empty path stays empty).
std::string withTrailingSlash(std::string path);
// "<base>/Zantherix/", whether or not `base` ends in "/".
std::string makerFolderIn(const std::string &base);
// The user's documents folder (XDG documents directory) + "Zantherix/";
// empty when there is no usable documents folder.
std::string documentsDataDirectory();
// Folder of the running executable, ending in "/"; empty when unknown.
std::string executableDirectory();

// Creates `directory` and its parents; an existing one is fine. Failures are
// left for the first file created in it to show.
void createDirectory(const std::string &directory);
// Whether a file can be created in `directory`: creates (emptying) and deletes
// `directory` + `probeName`.
bool canCreateFileIn(const std::string &directory, const std::string &probeName);

} // namespace q57
